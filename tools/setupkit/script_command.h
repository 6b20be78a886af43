// The maker's "script" command: shows an installer script as the installer will read it.
#pragma once

#include "platform/text.h"
#include "tools/setupkit/tool_console.h"

// Prints the script's collections and settings; returns the exit code (1 when the file cannot
// be read or is not a script the installer accepts).
int ShowScript(StringView script_file, TToolConsole& console);

// The maker's package commands: pack a folder, list, extract and verify a package.
#pragma once

#include <vector>

#include "platform/text.h"
#include "tools/setupkit/tool_console.h"

// Each command returns the process exit code: 0 on success, 1 when the work failed (the reason
// is on the console). Paths are this system's own.

// Packs every file below Folder, named by its path relative to Folder with backslashes, in an
// order that is the same on every system. The package appears only when it is complete.
int PackFolder(StringView folder, StringView package, int level, TToolConsole& console);

// One line per entry in table order: the size, a tab, the name.
int ListPackage(StringView package, TToolConsole& console);

// Writes all entries, or the named ones, below Folder. Every name is checked first; when one is
// unsafe or missing, nothing is written.
int ExtractPackage(StringView package, StringView folder, const std::vector<String>& names,
                   TToolConsole& console);

// Reads the package completely and checks every entry: the package is sound (exit code 0, "OK")
// only when extract would write every entry, so each unsafe name ("..", a drive, a rooted or
// device name) and each name that an earlier one shadows (letter case aside) is reported on a
// line of its own, and the exit code is 1.
int VerifyPackage(StringView package, TToolConsole& console);

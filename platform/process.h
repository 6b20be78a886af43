// Facts about the running process: its command line, its executable and its rights.
#pragma once

#include "platform/text.h"

namespace platform {

// The whole command line the process was started with, program path included
// (GetCommandLineW on Windows; on the host whatever the host double was given).
[[nodiscard]] String GetProcessCommandLine();

// The full path of the program's own executable file (GetModuleFileNameW on Windows; on the host
// the test program's path unless the host double was given another).
[[nodiscard]] String GetProgramFileName();

// Starts Command_line as it is (CreateProcessW with no separate program name, handles inherited,
// window shown normally), waits up to 5 seconds for the program to be ready for input and then,
// when it is (or has no message loop), without limit for its end. False, with the platform's
// error, when it could not be started; the program's own exit code is not looked at.
[[nodiscard]] bool RunProgramAndWait(StringView command_line);

}  // namespace platform

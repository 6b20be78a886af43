// Facts about the running process: its command line, its executable and its rights.
#pragma once

#include "platform/text.h"

namespace platform {

// The whole command line the process was started with, program path included
// (GetCommandLineW on Windows; on the host whatever the host double was given).
String GetProcessCommandLine();

// The full path of the program's own executable file (GetModuleFileNameW on Windows; on the host
// the test program's path unless the host double was given another).
String GetProgramFileName();

}  // namespace platform

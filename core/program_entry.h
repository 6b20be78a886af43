// The program entry: what one run of the setup executable does, in order, and how it ends.
#pragma once

#include "platform/text.h"

// Runs the program and returns the process exit code (see exit_codes.h). Every exception of the
// base exception class that escapes the steps is shown in one message box captioned "Setup".
int RunProgramEntry();

// The argument text the entry read: the process command line without the program path.
const String& ProgramArgumentText();

// The standard output and error of a console program, for text in any language.
#pragma once

#include "platform/text.h"

namespace platform {

// Writes text to standard output or standard error: through the console's own wide-character
// interface when the stream is a Windows console, as UTF-8 bytes otherwise (files, pipes, Linux).
void WriteStandardOutput(StringView text);
void WriteStandardError(StringView text);

// For a program without a console of its own (a window program started from cmd or PowerShell):
// true when WriteStandardOutput now reaches whoever started it, through its redirected output
// (a file or a pipe) or the console it was started from, which this attaches to. False when
// there is neither; the host double never has a caller's console.
bool AttachToCallerConsole();

// Whether standard error is an interactive terminal (progress lines make sense there only).
bool StandardErrorIsTerminal();

}  // namespace platform

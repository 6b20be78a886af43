// The standard output and error of a console program, for text in any language.
#pragma once

#include "platform/text.h"

namespace platform {

// Writes text to standard output or standard error: through the console's own wide-character
// interface when the stream is a Windows console, as UTF-8 bytes otherwise (files, pipes, Linux).
void WriteStandardOutput(StringView text);
void WriteStandardError(StringView text);

// Whether standard error is an interactive terminal (progress lines make sense there only).
bool StandardErrorIsTerminal();

}  // namespace platform

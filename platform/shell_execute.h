// Starting programs, documents and addresses through the shell.
#pragma once

#include "platform/text.h"

namespace platform {

inline constexpr int ShowNormal = 1;   // SW_SHOWNORMAL
inline constexpr int ShowDefault = 5;  // SW_SHOW

// ShellExecuteW with the verb "open": File is a program, a document or an address; the shell
// picks what opens it. False, with the platform's error, when the shell refuses.
bool ShellOpen(StringView file, StringView parameters, StringView directory, int show_command);

}  // namespace platform

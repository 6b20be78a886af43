// The platform's message box.
#pragma once

#include "platform/text.h"

namespace platform {

// A top-level window of the platform (HWND on Windows); null means none.
using NativeWindow = void*;

// Style bits and answers, with the values of the Windows API.
inline constexpr unsigned MessageBoxOk = 0x0;
inline constexpr unsigned MessageBoxAbortRetryIgnore = 0x2;
inline constexpr unsigned MessageBoxYesNo = 0x4;
inline constexpr unsigned MessageBoxIconError = 0x10;
inline constexpr unsigned MessageBoxIconQuestion = 0x20;
inline constexpr unsigned MessageBoxIconWarning = 0x30;
inline constexpr unsigned MessageBoxIconInformation = 0x40;
inline constexpr unsigned MessageBoxDefaultButton2 = 0x100;

inline constexpr int AnswerOk = 1;
inline constexpr int AnswerCancel = 2;
inline constexpr int AnswerAbort = 3;
inline constexpr int AnswerRetry = 4;
inline constexpr int AnswerIgnore = 5;
inline constexpr int AnswerYes = 6;
inline constexpr int AnswerNo = 7;

// Shows a modal message box and returns the button the user pressed.
int ShowMessageBox(NativeWindow owner, StringView text, StringView caption, unsigned style);

}  // namespace platform

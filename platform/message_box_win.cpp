// The message box of the Windows API.
#include <windows.h>

#include "platform/message_box.h"
#include "platform/windows_text.h"

namespace platform {

int ShowMessageBox(NativeWindow owner, StringView text, StringView caption, unsigned style) {
  const String text_copy(text);
  const String caption_copy(caption);
  return ::MessageBoxW(static_cast<HWND>(owner), ToWide(text_copy), ToWide(caption_copy), style);
}

}  // namespace platform

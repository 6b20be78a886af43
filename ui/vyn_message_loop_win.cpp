#include "ui/vyn_message_loop_win.h"

void DispatchVYNMessage(MSG& message) {
  // Our forms carry WS_EX_CONTROLPARENT; other top-level windows (message boxes, their own
  // modal loops) are left alone, since IsDialogMessage would eat keys meant for them.
  const HWND root = message.hwnd != nullptr ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root != nullptr && (::GetWindowLongW(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0 &&
      ::IsDialogMessageW(root, &message)) {
    return;
  }
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

bool ProcessPendingMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    DispatchVYNMessage(message);
  }
  return true;
}

int RunMessageLoop() {
  MSG message;
  for (;;) {
    const BOOL result = ::GetMessageW(&message, nullptr, 0, 0);
    if (result == 0) return static_cast<int>(message.wParam);
    if (result == -1) return -1;
    DispatchVYNMessage(message);
  }
}

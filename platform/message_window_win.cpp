// Message-only windows on the Windows API.
#include <windows.h>

#include <mutex>
#include <set>

#include "platform/exception.h"
#include "platform/message_window.h"
#include "platform/windows_text.h"

namespace platform {

static_assert(sizeof(CopyData) == sizeof(COPYDATASTRUCT));
static_assert(offsetof(CopyData, Number) == offsetof(COPYDATASTRUCT, dwData));
static_assert(offsetof(CopyData, Size) == offsetof(COPYDATASTRUCT, cbData));
static_assert(offsetof(CopyData, Data) == offsetof(COPYDATASTRUCT, lpData));

struct MessageWindowAccess {
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM first, LPARAM second) {
    auto* owner = reinterpret_cast<MessageWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    intptr_t result = 0;
    try {
      if (owner != nullptr && owner->procedure_ &&
          owner->procedure_(message, first, second, result)) {
        return result;
      }
    } catch (...) {
      // An exception must not unwind through the system's dispatch (for a message from another
      // thread or process that ends the process); the handlers report their own failures.
      return 0;
    }
    return ::DefWindowProcW(window, message, first, second);
  }
};

namespace {

void RegisterClassOnce(const String& class_name) {
  static std::mutex mutex;
  static std::set<String> registered;
  std::lock_guard lock(mutex);
  if (registered.count(class_name) != 0) return;
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = &MessageWindowAccess::Procedure;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.lpszClassName = ToWide(class_name);
  if (::RegisterClassExW(&window_class) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    RaiseLastOSError(u"RegisterClassEx " + class_name);
  }
  registered.insert(class_name);
}

}  // namespace

MessageWindow::MessageWindow(StringView class_name, Procedure procedure)
    : procedure_(std::move(procedure)) {
  const String name(class_name);
  RegisterClassOnce(name);
  // HWND_MESSAGE makes a window that is never shown and never enumerated with the top-level
  // windows, yet can be found with FindWindowEx by its class.
  const HWND window = ::CreateWindowExW(0, ToWide(name), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr) RaiseLastOSError(u"CreateWindowEx " + name);
  ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  handle_ = window;
}

MessageWindow::~MessageWindow() {
  const HWND window = static_cast<HWND>(handle_);
  ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  ::DestroyWindow(window);
}

intptr_t SendWindowMessage(NativeWindow window, uint32_t message, uintptr_t first,
                           intptr_t second) {
  return ::SendMessageW(static_cast<HWND>(window), message, first, second);
}

intptr_t SendCopyData(NativeWindow window, NativeWindow sender, uintptr_t number, const void* data,
                      uint32_t size) {
  COPYDATASTRUCT record = {};
  record.dwData = number;
  record.cbData = size;
  record.lpData = const_cast<void*>(data);
  return ::SendMessageW(static_cast<HWND>(window), WM_COPYDATA, reinterpret_cast<WPARAM>(sender),
                        reinterpret_cast<LPARAM>(&record));
}

uint32_t RegisterWindowMessageName(StringView name) {
  const String copy(name);
  return ::RegisterWindowMessageW(ToWide(copy));
}

void ServePendingSentMessages() {
  MSG message;
  ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

void ReplyToSentMessage() {
  ::ReplyMessage(TRUE);
}

NativeWindow FindMessageWindow(StringView class_name) {
  const String copy(class_name);
  return ::FindWindowExW(HWND_MESSAGE, nullptr, ToWide(copy), nullptr);
}

}  // namespace platform

// Test windows: real hidden top-level windows of this program.
#include <windows.h>

#include <stdexcept>

#include "platform/windows_text.h"
#include "tests/support/test_window.h"

TestWindow::TestWindow(StringView class_name) : class_name_(class_name) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = ::DefWindowProcW;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.lpszClassName = ToWide(class_name_);
  if (::RegisterClassExW(&window_class) == 0) throw std::runtime_error("RegisterClassExW failed");
  handle_ = ::CreateWindowExW(0, ToWide(class_name_), L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                              nullptr, nullptr, window_class.hInstance, nullptr);
  if (handle_ == nullptr) throw std::runtime_error("CreateWindowExW failed");
  process_id_ = ::GetCurrentProcessId();
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  executable_path_ = FromWide(path, length);
}

TestWindow::~TestWindow() {
  ::DestroyWindow(static_cast<HWND>(handle_));
  ::UnregisterClassW(ToWide(class_name_), ::GetModuleHandleW(nullptr));
}

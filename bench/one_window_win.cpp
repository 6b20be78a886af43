// The least a Windows program with a window can do: register a class, open one 640x480 window,
// paint it white and wait for messages. The start-up benchmark times it beside the setup, so
// that the setup's time to its first window is judged against what Wine itself costs.
#include <windows.h>

namespace {

constexpr wchar_t ClassName[] = L"OneWindowBench";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = ::BeginPaint(window, &paint);
      ::FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
      ::EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
    default: return ::DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = ClassName;
  if (::RegisterClassExW(&window_class) == 0) return 1;
  const HWND window =
      ::CreateWindowExW(0, ClassName, L"One window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  ::ShowWindow(window, show);
  ::UpdateWindow(window);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

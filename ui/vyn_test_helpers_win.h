// What the Win32 tests of the component library share: a surface to draw on and read back,
// and key presses that go through the dialog navigation as the message loop hands them over.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/handle_traits_win.h"
#include "ui/vyn_message_loop_win.h"

// A 32-bit top-down surface filled with one colour, to draw on and read back.
class Surface {
 public:
  Surface(int width, int height, uint32_t fill) : width_(width) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    pixels_ = static_cast<uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) pixels_[i] = fill;
    dc_.Reset(::CreateCompatibleDC(nullptr));
    previous_ = ::SelectObject(dc_.Get(), bitmap_.Get());
  }
  ~Surface() { ::SelectObject(dc_.Get(), previous_); }

  HDC Dc() const { return dc_.Get(); }
  // 0xRRGGBB.
  uint32_t Pixel(int x, int y) const {
    ::GdiFlush();
    return pixels_[y * width_ + x] & 0xFFFFFF;
  }

 private:
  int width_;
  platform::ScopedBitmap bitmap_;
  platform::ScopedMemoryDc dc_;
  HGDIOBJ previous_ = nullptr;
  uint32_t* pixels_ = nullptr;
};

inline void PressKey(HWND focus, WPARAM key) {
  MSG message{};
  message.hwnd = focus;
  message.message = WM_KEYDOWN;
  message.wParam = key;
  DispatchVYNMessage(message);
  message.message = WM_KEYUP;
  DispatchVYNMessage(message);
  ProcessPendingMessages();
}

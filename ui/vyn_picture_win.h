// A picture with an alpha channel (PNG and whatever else the system's imaging component
// decodes), loaded from memory and drawn stretched with an opacity (Windows only).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "platform/handle_traits_win.h"

class TVYNPicture {
 public:
  TVYNPicture() = default;
  TVYNPicture(TVYNPicture&&) noexcept = default;
  TVYNPicture& operator=(TVYNPicture&&) noexcept = default;

  // Decodes the bytes into 32-bit premultiplied BGRA. False, leaving the picture empty, when
  // they are no picture or the imaging component is missing. The calling thread must have
  // joined COM.
  [[nodiscard]] bool LoadFromMemory(const void* data, size_t size);

  bool IsEmpty() const { return !bitmap_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The pixel at (X, Y) as 0xAARRGGBB with the colour premultiplied by alpha; 0 outside.
  uint32_t Pixel(int x, int y) const;

  // Draws the whole picture stretched over Target; Opacity 0 (invisible) to 255 (as is).
  void Draw(HDC dc, const RECT& target, uint8_t opacity = 255) const;

 private:
  platform::ScopedBitmap bitmap_;
  const uint32_t* pixels_ = nullptr;  // owned by bitmap_
  int width_ = 0;
  int height_ = 0;
};

#include "ui/vyn_picture_win.h"

#include <wincodec.h>

#include <limits>

#include "platform/com_pointer_win.h"

bool TVYNPicture::LoadFromMemory(const void* data, size_t size) {
  bitmap_.Reset();
  pixels_ = nullptr;
  width_ = height_ = 0;
  if (data == nullptr || size == 0 || size > std::numeric_limits<DWORD>::max()) return false;

  platform::ComPointer<IWICImagingFactory> factory;
  if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.Receive()))) {
    return false;
  }
  platform::ComPointer<IWICStream> stream;
  if (FAILED(factory->CreateStream(reinterpret_cast<IWICStream**>(stream.Receive()))) ||
      FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)),
                                          static_cast<DWORD>(size)))) {
    return false;
  }
  platform::ComPointer<IWICBitmapDecoder> decoder;
  platform::ComPointer<IWICBitmapFrameDecode> frame;
  platform::ComPointer<IWICFormatConverter> converter;
  if (FAILED(factory->CreateDecoderFromStream(
          stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
          reinterpret_cast<IWICBitmapDecoder**>(decoder.Receive()))) ||
      FAILED(decoder->GetFrame(0, reinterpret_cast<IWICBitmapFrameDecode**>(frame.Receive()))) ||
      FAILED(factory->CreateFormatConverter(
          reinterpret_cast<IWICFormatConverter**>(converter.Receive()))) ||
      // Premultiplied, because that is what AlphaBlend expects with AC_SRC_ALPHA.
      FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return false;
  }
  UINT width = 0;
  UINT height = 0;
  if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > 0x4000 ||
      height > 0x4000) {
    return false;  // also keeps Stride × Height far inside 32 bits
  }

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, as WIC delivers the rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  platform::ScopedBitmap bitmap(
      ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return false;
  const UINT stride = width * 4;
  if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
    return false;
  }
  bitmap_ = std::move(bitmap);
  pixels_ = static_cast<const uint32_t*>(bits);
  width_ = static_cast<int>(width);
  height_ = static_cast<int>(height);
  return true;
}

uint32_t TVYNPicture::Pixel(int x, int y) const {
  if (!bitmap_ || pixels_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  ::GdiFlush();  // GDI may still be writing into the section
  return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

void TVYNPicture::Draw(HDC dc, const RECT& target, uint8_t opacity) const {
  if (!bitmap_ || dc == nullptr || opacity == 0) return;
  const platform::ScopedMemoryDc source(::CreateCompatibleDC(dc));
  if (!source) return;
  const platform::ScopedSelectObject select(source.Get(), bitmap_.Get());
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, opacity, AC_SRC_ALPHA};
  const int previous_mode = ::SetStretchBltMode(dc, HALFTONE);
  ::AlphaBlend(dc, target.left, target.top, target.right - target.left, target.bottom - target.top,
               source.Get(), 0, 0, width_, height_, blend);
  ::SetStretchBltMode(dc, previous_mode);
}

// The start of a PNG file for tests: its signature and the IHDR chunk that gives the size, which
// is all that lint reads of a picture.
#pragma once

#include <cstdint>
#include <string>

inline std::string PngPictureHeader(uint32_t width, uint32_t height) {
  std::string bytes = "\x89PNG\r\n\x1A\n";
  bytes += std::string("\0\0\0\x0D", 4) + "IHDR";
  for (const uint32_t value : {width, height}) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<char>(value >> shift));
  }
  // Bit depth 8, colour type 6 (RGBA), then compression, filter, interlace and the CRC.
  bytes += std::string("\x08\x06\0\0\0\0\0\0\0", 9);
  return bytes;
}

// Icon files made in memory for the tests of icon replacement: real bitmap images the system
// can draw, and PNG-compressed ones, laid out as the format describes, independently of the
// code under test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TTestIconImage {
  // In pixels, at most 256; 256 is written as 0 in the directory.
  uint32_t Size = 16;
  // A PNG-compressed image (only its signature and a few bytes) instead of a bitmap.
  bool Png = false;
  // The colour of every pixel (0xAARRGGBB) of a bitmap image.
  uint32_t Color = 0xFFDE8C33;
};

// The bytes of one image as an icon file and a program's RT_ICON resource hold it.
std::string TestIconImageBytes(const TTestIconImage& image);

// An icon file: the header, one directory entry per image, then the images in order.
std::string MakeTestIconFile(const std::vector<TTestIconImage>& images);

// A program's RT_GROUP_ICON resource naming Ids for Images (14-byte entries).
std::string MakeTestIconGroup(const std::vector<TTestIconImage>& images,
                              const std::vector<uint16_t>& ids);

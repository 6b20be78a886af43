// Icon files made in memory for tests.
#include "tools/setupkit/test_icon_file.h"

namespace {

void Put16(std::string& bytes, uint32_t value) {
  bytes += static_cast<char>(value & 0xFF);
  bytes += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& bytes, uint32_t value) {
  Put16(bytes, value & 0xFFFF);
  Put16(bytes, value >> 16);
}

uint8_t DirectorySize(uint32_t size) {
  return static_cast<uint8_t>(size >= 256 ? 0 : size);
}

}  // namespace

std::string TestIconImageBytes(const TTestIconImage& image) {
  std::string bytes;
  if (image.Png) {
    bytes = "\x89PNG\r\n\x1A\n";
    bytes += "IHDR and the rest of a picture";
    return bytes;
  }
  // BITMAPINFOHEADER: the height counts the colour bitmap and the mask, one above the other.
  Put32(bytes, 40);
  Put32(bytes, image.Size);
  Put32(bytes, image.Size * 2);
  Put16(bytes, 1);   // planes
  Put16(bytes, 32);  // bits per pixel
  Put32(bytes, 0);   // BI_RGB
  Put32(bytes, image.Size * image.Size * 4);
  for (int i = 0; i < 4; ++i) Put32(bytes, 0);
  for (uint32_t i = 0; i < image.Size * image.Size; ++i) Put32(bytes, image.Color);
  // The mask: one bit per pixel, rows padded to 32 bits; all clear, so every pixel shows.
  bytes.append(size_t{(image.Size + 31) / 32 * 4} * image.Size, '\0');
  return bytes;
}

std::string MakeTestIconFile(const std::vector<TTestIconImage>& images) {
  std::string header, data;
  Put16(header, 0);
  Put16(header, 1);
  Put16(header, static_cast<uint32_t>(images.size()));
  const size_t first = 6 + 16 * images.size();
  for (const TTestIconImage& image : images) {
    const std::string bytes = TestIconImageBytes(image);
    header += static_cast<char>(DirectorySize(image.Size));
    header += static_cast<char>(DirectorySize(image.Size));
    header += '\0';  // colours: 0 for true colour
    header += '\0';  // reserved
    Put16(header, 1);
    Put16(header, 32);
    Put32(header, static_cast<uint32_t>(bytes.size()));
    Put32(header, static_cast<uint32_t>(first + data.size()));
    data += bytes;
  }
  return header + data;
}

std::string MakeTestIconGroup(const std::vector<TTestIconImage>& images,
                              const std::vector<uint16_t>& ids) {
  std::string group;
  Put16(group, 0);
  Put16(group, 1);
  Put16(group, static_cast<uint32_t>(images.size()));
  for (size_t i = 0; i < images.size(); ++i) {
    group += static_cast<char>(DirectorySize(images[i].Size));
    group += static_cast<char>(DirectorySize(images[i].Size));
    group += '\0';
    group += '\0';
    Put16(group, 1);
    Put16(group, 32);
    Put32(group, static_cast<uint32_t>(TestIconImageBytes(images[i]).size()));
    Put16(group, ids[i]);
  }
  return group;
}

// Icon files and icon group resources.
#include "tools/setupkit/icon_file.h"

#include <algorithm>
#include <array>

#include "tools/setupkit/folder_package.h"

namespace {

// The file: a header (reserved, type, count), then one 16-byte entry per image.
constexpr size_t FileHeaderSize = 6;
constexpr size_t FileEntrySize = 16;
// The resource: the same header, then one 14-byte entry per image, whose last field is the
// image's RT_ICON number instead of a file offset.
constexpr size_t GroupEntrySize = 14;
constexpr uint16_t TypeIcon = 1;  // 2 would be a cursor

constexpr std::array<uint8_t, 8> PngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// The sizes of the bitmap headers an icon image may begin with: BITMAPCOREHEADER,
// BITMAPINFOHEADER, BITMAPV4HEADER and BITMAPV5HEADER.
constexpr std::array<uint32_t, 4> BitmapHeaderSizes = {12, 40, 108, 124};

uint16_t Read16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

uint32_t Read32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
         static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

void Append16(std::vector<uint8_t>& bytes, uint16_t value) {
  bytes.push_back(static_cast<uint8_t>(value));
  bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void Append32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

bool IsIconImage(std::span<const uint8_t> data) {
  if (data.size() >= PngSignature.size() &&
      std::equal(PngSignature.begin(), PngSignature.end(), data.begin())) {
    return true;
  }
  return data.size() >= 4 && std::find(BitmapHeaderSizes.begin(), BitmapHeaderSizes.end(),
                                       Read32(data, 0)) != BitmapHeaderSizes.end();
}

[[noreturn]] void Fail(StringView what) {
  throw EIconFileError(String(what));
}

}  // namespace

std::vector<TIconImage> ReadIconFile(std::span<const uint8_t> file) {
  if (file.size() < FileHeaderSize) Fail(u"is too short to be an icon file");
  if (Read16(file, 0) != 0 || Read16(file, 2) != TypeIcon) {
    Fail(Read16(file, 0) == 0 && Read16(file, 2) == 2
             ? u"is a cursor, not an icon"
             : u"is not an icon file (its header is not that of an icon)");
  }
  const uint16_t count = Read16(file, 4);
  if (count == 0) Fail(u"holds no image");
  if ((file.size() - FileHeaderSize) / FileEntrySize < count) {
    Fail(u"is cut short (its directory of " + FormatNumber(count) + u" images runs past the end)");
  }
  std::vector<TIconImage> images;
  for (uint16_t i = 0; i < count; ++i) {
    const size_t at = FileHeaderSize + size_t{i} * FileEntrySize;
    const String which = u"image " + FormatNumber(i + 1);
    TIconImage image;
    image.Width = file[at];
    image.Height = file[at + 1];
    image.ColorCount = file[at + 2];
    image.Planes = Read16(file, at + 4);
    image.BitCount = Read16(file, at + 6);
    const uint32_t size = Read32(file, at + 8);
    const uint32_t offset = Read32(file, at + 12);
    if (size == 0) Fail(u"is damaged (" + which + u" is empty)");
    if (offset > file.size() || file.size() - offset < size) {
      Fail(u"is damaged (the bytes of " + which + u" lie outside the file)");
    }
    image.Data = file.subspan(offset, size);
    if (!IsIconImage(image.Data)) {
      Fail(u"is damaged (" + which + u" is neither a bitmap nor a PNG)");
    }
    images.push_back(image);
  }
  return images;
}

std::vector<uint8_t> EncodeIconGroup(const std::vector<TIconImage>& images,
                                     const std::vector<uint16_t>& ids) {
  std::vector<uint8_t> group;
  Append16(group, 0);
  Append16(group, TypeIcon);
  Append16(group, static_cast<uint16_t>(images.size()));
  for (size_t i = 0; i < images.size(); ++i) {
    const TIconImage& image = images[i];
    group.push_back(image.Width);
    group.push_back(image.Height);
    group.push_back(image.ColorCount);
    group.push_back(0);
    Append16(group, image.Planes);
    Append16(group, image.BitCount);
    Append32(group, static_cast<uint32_t>(image.Data.size()));
    Append16(group, ids.at(i));
  }
  return group;
}

std::vector<uint16_t> IconGroupIds(std::span<const uint8_t> group) {
  if (group.size() < FileHeaderSize || Read16(group, 2) != TypeIcon) {
    Fail(u"is not an icon group");
  }
  const uint16_t count = Read16(group, 4);
  if ((group.size() - FileHeaderSize) / GroupEntrySize < count) Fail(u"is cut short");
  std::vector<uint16_t> ids;
  for (uint16_t i = 0; i < count; ++i) {
    ids.push_back(Read16(group, FileHeaderSize + size_t{i} * GroupEntrySize + 12));
  }
  return ids;
}

// Icon files (".ico"): reading the images out of one, and the icon group resource that names
// those images once they are a program's RT_ICON resources.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/exception.h"
#include "platform/text.h"

// The file is not an icon file a program can carry; the message says what is wrong with it.
class EIconFileError : public Exception {
 public:
  using Exception::Exception;
};

inline constexpr uint16_t PeResourceTypeIcon = 3;        // RT_ICON
inline constexpr uint16_t PeResourceTypeIconGroup = 14;  // RT_GROUP_ICON

// One image of an icon, as the file's directory describes it. Width and Height are 0 for 256
// pixels. Data points into the file it was read from: a bitmap (a BITMAPINFOHEADER, the colours
// and the mask) or a PNG, which is what a program's RT_ICON resource holds as well.
struct TIconImage {
  uint8_t Width = 0;
  uint8_t Height = 0;
  uint8_t ColorCount = 0;
  uint16_t Planes = 0;
  uint16_t BitCount = 0;
  std::span<const uint8_t> Data;
};

// The images of an icon file in the file's order. Raises EIconFileError, saying what is wrong,
// unless the header reads as an icon file (reserved 0, type 1, at least one image), the
// directory fits in the file, and each image's bytes lie inside the file and begin as a bitmap
// or a PNG. Nothing outside File is ever read.
std::vector<TIconImage> ReadIconFile(std::span<const uint8_t> file);

// The RT_GROUP_ICON resource for Images stored as RT_ICON resources numbered Ids (one per
// image, in the same order): the file's directory with each image's file offset replaced by
// its resource number.
std::vector<uint8_t> EncodeIconGroup(const std::vector<TIconImage>& images,
                                     const std::vector<uint16_t>& ids);

// The RT_ICON numbers an icon group names, in its order. Raises EIconFileError when the group
// is cut short or not an icon group.
std::vector<uint16_t> IconGroupIds(std::span<const uint8_t> group);

// TVYNIcon: the bytes of an icon image (the .ico format), checked before anybody draws them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "support/stream.h"

// Holds the bytes of an icon file whose directory has been checked: the header names an icon
// with at least one image, and every image lies inside the bytes after the directory. The
// Windows user interface turns the bytes into an icon handle; here they are only kept.
class TVYNIcon {
 public:
  // Takes the whole of Stream, from its start. Bytes that are not an icon clear the icon and
  // give false.
  bool LoadFromStream(TStream& stream);
  bool LoadFromBytes(std::vector<uint8_t> bytes);
  void Clear() { bytes_.clear(); }

  bool Empty() const { return bytes_.empty(); }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

  static bool IsIconImage(const uint8_t* bytes, size_t size);

 private:
  std::vector<uint8_t> bytes_;
};

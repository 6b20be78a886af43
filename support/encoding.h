// Text encodings: turning program text into bytes of a given encoding and back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/text.h"

class TEncoding {
 public:
  virtual ~TEncoding() = default;

  virtual std::vector<uint8_t> GetBytes(StringView text) const = 0;
  virtual String GetString(const uint8_t* bytes, size_t size) const = 0;
  // The byte order mark of the encoding, empty when it has none.
  virtual std::vector<uint8_t> GetPreamble() const = 0;

  String GetString(const std::vector<uint8_t>& bytes) const {
    return GetString(bytes.data(), bytes.size());
  }

  static const TEncoding& UTF8();
  // UTF-16, least significant byte first.
  static const TEncoding& Unicode();
  static const TEncoding& BigEndianUnicode();
};

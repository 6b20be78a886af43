// Text encodings: turning program text into bytes of a given encoding and back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/text.h"

class TEncoding {
 public:
  virtual ~TEncoding() = default;

  // The Windows code page number of the encoding (1200 for UTF-16LE, 65001 for UTF-8, ...).
  virtual unsigned CodePage() const = 0;
  virtual std::vector<uint8_t> GetBytes(StringView text) const = 0;
  // Strict decoding: false when the bytes are not valid in this encoding.
  virtual bool TryGetString(const uint8_t* bytes, size_t size, String& text) const = 0;
  // The byte order mark of the encoding, empty when it has none.
  virtual std::vector<uint8_t> GetPreamble() const = 0;

  // Lenient decoding: what TryGetString gives, or for bytes that are not valid, UTF-8 with
  // replacement characters and the code pages through the system's ANSI code page.
  String GetString(const uint8_t* bytes, size_t size) const;
  String GetString(const std::vector<uint8_t>& bytes) const {
    return GetString(bytes.data(), bytes.size());
  }

  static const TEncoding& UTF8();
  // UTF-16, least significant byte first.
  static const TEncoding& Unicode();
  static const TEncoding& BigEndianUnicode();
  // The system's ANSI code page.
  static const TEncoding& ANSI();
  // The encoding of a Windows code page number; 0 is the system's ANSI code page. Encodings
  // live as long as the program.
  static const TEncoding& GetEncoding(unsigned code_page);
};

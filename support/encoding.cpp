// The Unicode encodings.
#include "support/encoding.h"

namespace {

class Utf8Encoding final : public TEncoding {
 public:
  std::vector<uint8_t> GetBytes(StringView text) const override {
    const std::string bytes = StringToUtf8(text);
    return {bytes.begin(), bytes.end()};
  }
  String GetString(const uint8_t* bytes, size_t size) const override {
    return Utf8ToString({reinterpret_cast<const char*>(bytes), size});
  }
  std::vector<uint8_t> GetPreamble() const override { return {0xEF, 0xBB, 0xBF}; }
};

class Utf16Encoding final : public TEncoding {
 public:
  explicit Utf16Encoding(bool big_endian) : big_endian_(big_endian) {}

  std::vector<uint8_t> GetBytes(StringView text) const override {
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (const char16_t unit : text) {
      const auto low = static_cast<uint8_t>(unit & 0xFF);
      const auto high = static_cast<uint8_t>(unit >> 8);
      bytes.push_back(big_endian_ ? high : low);
      bytes.push_back(big_endian_ ? low : high);
    }
    return bytes;
  }

  // A trailing odd byte cannot form a unit and is dropped.
  String GetString(const uint8_t* bytes, size_t size) const override {
    String text;
    text.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2) {
      const uint8_t first = bytes[i];
      const uint8_t second = bytes[i + 1];
      text.push_back(big_endian_ ? static_cast<char16_t>(first << 8 | second)
                                 : static_cast<char16_t>(second << 8 | first));
    }
    return text;
  }

  std::vector<uint8_t> GetPreamble() const override {
    return big_endian_ ? std::vector<uint8_t>{0xFE, 0xFF} : std::vector<uint8_t>{0xFF, 0xFE};
  }

 private:
  bool big_endian_;
};

}  // namespace

const TEncoding& TEncoding::UTF8() {
  static const Utf8Encoding encoding;
  return encoding;
}

const TEncoding& TEncoding::Unicode() {
  static const Utf16Encoding encoding(false);
  return encoding;
}

const TEncoding& TEncoding::BigEndianUnicode() {
  static const Utf16Encoding encoding(true);
  return encoding;
}

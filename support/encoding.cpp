// The text encodings.
#include "support/encoding.h"

#include <map>
#include <memory>
#include <mutex>

#include "platform/code_page.h"

namespace {

constexpr unsigned CodePageUtf16LittleEndian = 1200;
constexpr unsigned CodePageUtf16BigEndian = 1201;

class Utf8Encoding final : public TEncoding {
 public:
  unsigned CodePage() const override { return platform::CodePageUtf8; }
  std::vector<uint8_t> GetBytes(StringView text) const override {
    const std::string bytes = StringToUtf8(text);
    return {bytes.begin(), bytes.end()};
  }
  bool TryGetString(const uint8_t* bytes, size_t size, String& text) const override {
    text = Utf8ToString({reinterpret_cast<const char*>(bytes), size});
    // The decoder marks every invalid sequence with U+FFFD; a valid text only has those that
    // were spelled out in it.
    size_t spelled = 0;
    for (size_t i = 0; i + 2 < size; ++i) {
      if (bytes[i] == 0xEF && bytes[i + 1] == 0xBF && bytes[i + 2] == 0xBD) ++spelled;
    }
    size_t found = 0;
    for (const char16_t unit : text) found += unit == 0xFFFD;
    if (found == spelled) return true;
    text.clear();
    return false;
  }
  std::vector<uint8_t> GetPreamble() const override { return {0xEF, 0xBB, 0xBF}; }
};

class Utf16Encoding final : public TEncoding {
 public:
  explicit Utf16Encoding(bool big_endian) : big_endian_(big_endian) {}

  unsigned CodePage() const override {
    return big_endian_ ? CodePageUtf16BigEndian : CodePageUtf16LittleEndian;
  }

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
  bool TryGetString(const uint8_t* bytes, size_t size, String& text) const override {
    text.clear();
    text.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2) {
      const uint8_t first = bytes[i];
      const uint8_t second = bytes[i + 1];
      text.push_back(big_endian_ ? static_cast<char16_t>(first << 8 | second)
                                 : static_cast<char16_t>(second << 8 | first));
    }
    return true;
  }

  std::vector<uint8_t> GetPreamble() const override {
    return big_endian_ ? std::vector<uint8_t>{0xFE, 0xFF} : std::vector<uint8_t>{0xFF, 0xFE};
  }

 private:
  bool big_endian_;
};

class CodePageEncoding final : public TEncoding {
 public:
  explicit CodePageEncoding(unsigned code_page) : code_page_(code_page) {}

  unsigned CodePage() const override {
    return code_page_ == platform::CodePageAnsi ? platform::GetAnsiCodePage() : code_page_;
  }
  std::vector<uint8_t> GetBytes(StringView text) const override {
    return platform::EncodeCodePage(code_page_, text);
  }
  bool TryGetString(const uint8_t* bytes, size_t size, String& text) const override {
    return platform::DecodeCodePage(code_page_, bytes, size, text);
  }
  std::vector<uint8_t> GetPreamble() const override { return {}; }

 private:
  unsigned code_page_;
};

}  // namespace

String TEncoding::GetString(const uint8_t* bytes, size_t size) const {
  String text;
  if (TryGetString(bytes, size, text)) return text;
  if (CodePage() == platform::CodePageUtf8)
    return Utf8ToString({reinterpret_cast<const char*>(bytes), size});
  // Bytes that are not valid in the ANSI code page either spoil only their own characters: the
  // rest of the text still reads as it was written.
  return platform::DecodeCodePageLenient(platform::CodePageAnsi, bytes, size);
}

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

const TEncoding& TEncoding::ANSI() {
  static const CodePageEncoding encoding(platform::CodePageAnsi);
  return encoding;
}

const TEncoding& TEncoding::GetEncoding(unsigned code_page) {
  switch (code_page) {
    case platform::CodePageAnsi: return ANSI();
    case platform::CodePageUtf8: return UTF8();
    case CodePageUtf16LittleEndian: return Unicode();
    case CodePageUtf16BigEndian: return BigEndianUnicode();
    default: break;
  }
  static std::mutex mutex;
  static std::map<unsigned, std::unique_ptr<CodePageEncoding>> encodings;
  std::lock_guard lock(mutex);
  auto& encoding = encodings[code_page];
  if (!encoding) encoding = std::make_unique<CodePageEncoding>(code_page);
  return *encoding;
}

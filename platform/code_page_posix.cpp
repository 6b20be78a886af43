// Code pages in the host double, through glibc's iconv ("CP1252", "CP1251", "CP932", ...).
#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <string_view>

#include "platform/code_page.h"
#include "platform/host_double.h"

namespace platform {

namespace {

std::atomic<unsigned> ansi_code_page{1252};

std::string IconvName(unsigned code_page) {
  if (code_page == CodePageAnsi) code_page = ansi_code_page;
  if (code_page == CodePageUtf8) return "UTF-8";
  return "CP" + std::to_string(code_page);
}

// What a lenient conversion does with input it cannot convert: skip that many bytes and put
// the replacement bytes in their place.
struct Substitution {
  size_t SkippedBytes;
  std::string_view Replacement;
};

// Encoding: a character the code page lacks becomes its default character, as on Windows.
constexpr Substitution DefaultCharacter{2, "?"};
// Decoding: a byte that starts no character becomes U+FFFD (in UTF-16LE).
constexpr Substitution ReplacementCharacter{1, "\xFD\xFF"};

// One conversion with a fresh descriptor. Without a substitution, returns false on any invalid
// or incomplete input.
bool Convert(const std::string& from, const std::string& to, const char* input, size_t size,
             std::string& output, const Substitution* substitution) {
  iconv_t descriptor = iconv_open(to.c_str(), from.c_str());
  if (descriptor == reinterpret_cast<iconv_t>(-1)) return false;
  output.assign(size * 4 + 16, '\0');
  char* in = const_cast<char*>(input);
  size_t in_left = size;
  char* out = output.data();
  size_t out_left = output.size();
  bool ok = true;
  while (in_left > 0) {
    if (iconv(descriptor, &in, &in_left, &out, &out_left) != static_cast<size_t>(-1)) continue;
    if ((errno == EILSEQ || errno == EINVAL) && substitution != nullptr) {
      const size_t skipped = std::min(substitution->SkippedBytes, in_left);
      in += skipped;
      in_left -= skipped;
      if (out_left < substitution->Replacement.size()) break;
      out = std::copy(substitution->Replacement.begin(), substitution->Replacement.end(), out);
      out_left -= substitution->Replacement.size();
      continue;
    }
    ok = false;
    break;
  }
  iconv_close(descriptor);
  output.resize(output.size() - out_left);
  return ok;
}

String FromUtf16Le(const std::string& utf16) {
  String text(utf16.size() / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<uint8_t>(utf16[2 * i]) |
                                    static_cast<uint8_t>(utf16[2 * i + 1]) << 8);
  }
  return text;
}

}  // namespace

unsigned GetAnsiCodePage() {
  return ansi_code_page;
}

void HostDouble::SetAnsiCodePage(unsigned code_page) {
  ansi_code_page = code_page;
}

bool DecodeCodePage(unsigned code_page, const uint8_t* bytes, size_t size, String& text) {
  text.clear();
  if (size == 0) return true;
  std::string utf16;
  if (!Convert(IconvName(code_page), "UTF-16LE", reinterpret_cast<const char*>(bytes), size, utf16,
               nullptr)) {
    return false;
  }
  text = FromUtf16Le(utf16);
  return true;
}

String DecodeCodePageLenient(unsigned code_page, const uint8_t* bytes, size_t size) {
  if (size == 0) return String();
  std::string utf16;
  if (!Convert(IconvName(code_page), "UTF-16LE", reinterpret_cast<const char*>(bytes), size, utf16,
               &ReplacementCharacter)) {
    return String(bytes, bytes + size);  // a code page iconv does not know
  }
  return FromUtf16Le(utf16);
}

std::vector<uint8_t> EncodeCodePage(unsigned code_page, StringView text) {
  std::string utf16;
  utf16.reserve(text.size() * 2);
  for (const char16_t unit : text) {
    utf16.push_back(static_cast<char>(unit & 0xFF));
    utf16.push_back(static_cast<char>(unit >> 8));
  }
  std::string bytes;
  Convert("UTF-16LE", IconvName(code_page) + "//TRANSLIT", utf16.data(), utf16.size(), bytes,
          &DefaultCharacter);
  return {bytes.begin(), bytes.end()};
}

}  // namespace platform

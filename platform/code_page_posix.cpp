// Code pages in the host double, through glibc's iconv ("CP1252", "CP1251", "CP932", ...).
#include <errno.h>
#include <iconv.h>

#include <atomic>
#include <string>

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

// One conversion with a fresh descriptor; returns false on any invalid or incomplete input.
bool Convert(const std::string& from, const std::string& to, const char* input, size_t size,
             std::string& output, bool substitute_unknown) {
  const std::string target = substitute_unknown ? to + "//TRANSLIT" : to;
  iconv_t descriptor = iconv_open(target.c_str(), from.c_str());
  if (descriptor == reinterpret_cast<iconv_t>(-1)) return false;
  output.assign(size * 4 + 16, '\0');
  char* in = const_cast<char*>(input);
  size_t in_left = size;
  char* out = output.data();
  size_t out_left = output.size();
  bool ok = true;
  while (in_left > 0) {
    if (iconv(descriptor, &in, &in_left, &out, &out_left) != static_cast<size_t>(-1)) continue;
    if (errno == EILSEQ && substitute_unknown) {
      // A character the code page lacks: the code page's default character, as on Windows.
      in += 2;
      in_left = in_left >= 2 ? in_left - 2 : 0;
      if (out_left == 0) break;
      *out++ = '?';
      --out_left;
      continue;
    }
    ok = false;
    break;
  }
  iconv_close(descriptor);
  output.resize(output.size() - out_left);
  return ok;
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
               false)) {
    return false;
  }
  text.resize(utf16.size() / 2);
  for (size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<uint8_t>(utf16[2 * i]) |
                                    static_cast<uint8_t>(utf16[2 * i + 1]) << 8);
  }
  return true;
}

std::vector<uint8_t> EncodeCodePage(unsigned code_page, StringView text) {
  std::string utf16;
  utf16.reserve(text.size() * 2);
  for (const char16_t unit : text) {
    utf16.push_back(static_cast<char>(unit & 0xFF));
    utf16.push_back(static_cast<char>(unit >> 8));
  }
  std::string bytes;
  Convert("UTF-16LE", IconvName(code_page), utf16.data(), utf16.size(), bytes, true);
  return {bytes.begin(), bytes.end()};
}

}  // namespace platform

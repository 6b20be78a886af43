// Code pages through MultiByteToWideChar and WideCharToMultiByte.
#include <windows.h>

#include <climits>

#include "platform/code_page.h"

namespace platform {

unsigned GetAnsiCodePage() {
  return ::GetACP();
}

namespace {

// MultiByteToWideChar with Flags: false (Text left empty) when the system cannot convert.
bool ToWideText(unsigned code_page, DWORD flags, const uint8_t* bytes, size_t size, String& text) {
  text.clear();
  if (size == 0) return true;
  if (size > INT_MAX) return false;
  const auto* input = reinterpret_cast<const char*>(bytes);
  const int length = static_cast<int>(size);
  const int needed = ::MultiByteToWideChar(code_page, flags, input, length, nullptr, 0);
  if (needed <= 0) return false;
  text.resize(static_cast<size_t>(needed));
  ::MultiByteToWideChar(code_page, flags, input, length, reinterpret_cast<wchar_t*>(text.data()),
                        needed);
  return true;
}

}  // namespace

bool DecodeCodePage(unsigned code_page, const uint8_t* bytes, size_t size, String& text) {
  return ToWideText(code_page, MB_ERR_INVALID_CHARS, bytes, size, text);
}

String DecodeCodePageLenient(unsigned code_page, const uint8_t* bytes, size_t size) {
  // Without MB_ERR_INVALID_CHARS the system puts its replacement for what does not decode.
  String text;
  if (!ToWideText(code_page, 0, bytes, size, text)) return String(bytes, bytes + size);
  return text;
}

std::vector<uint8_t> EncodeCodePage(unsigned code_page, StringView text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const auto* input = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int needed =
      ::WideCharToMultiByte(code_page, 0, input, length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::vector<uint8_t> bytes(static_cast<size_t>(needed));
  ::WideCharToMultiByte(code_page, 0, input, length, reinterpret_cast<char*>(bytes.data()), needed,
                        nullptr, nullptr);
  return bytes;
}

}  // namespace platform

// Code pages through MultiByteToWideChar and WideCharToMultiByte.
#include <windows.h>

#include <climits>

#include "platform/code_page.h"

namespace platform {

unsigned GetAnsiCodePage() {
  return ::GetACP();
}

bool DecodeCodePage(unsigned code_page, const uint8_t* bytes, size_t size, String& text) {
  text.clear();
  if (size == 0) return true;
  if (size > INT_MAX) return false;
  const auto* input = reinterpret_cast<const char*>(bytes);
  const int length = static_cast<int>(size);
  const int needed =
      ::MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, input, length, nullptr, 0);
  if (needed <= 0) return false;
  text.resize(static_cast<size_t>(needed));
  ::MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, input, length,
                        reinterpret_cast<wchar_t*>(text.data()), needed);
  return true;
}

String DecodeCodePageLenient(unsigned code_page, const uint8_t* bytes, size_t size) {
  if (size == 0) return String();
  const auto* input = reinterpret_cast<const char*>(bytes);
  const int length = size > INT_MAX ? 0 : static_cast<int>(size);
  // Without MB_ERR_INVALID_CHARS the system puts its replacement for what does not decode.
  const int needed = ::MultiByteToWideChar(code_page, 0, input, length, nullptr, 0);
  if (needed <= 0) return String(bytes, bytes + size);
  String text(static_cast<size_t>(needed), u'\0');
  ::MultiByteToWideChar(code_page, 0, input, length, reinterpret_cast<wchar_t*>(text.data()),
                        needed);
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

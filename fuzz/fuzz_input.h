// What the fuzz targets share: turning the fuzzer's bytes into text, and stopping loudly when
// a property that must hold does not.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/text.h"

// The first byte chooses the encoding of the rest, so that the fuzzer reaches both the texts
// real files hold (UTF-8) and any UTF-16, unpaired surrogates included.
inline String InputText(const uint8_t* data, size_t size) {
  if (size == 0) return String();
  const bool raw_utf16 = data[0] & 1;
  ++data, --size;
  if (!raw_utf16) return Utf8ToString({reinterpret_cast<const char*>(data), size});
  String text(size / 2, u'\0');
  std::memcpy(text.data(), data, text.size() * sizeof(char16_t));
  return text;
}

// A crash is what the fuzzer reports: abort when a checked property fails.
inline void Require(bool condition) {
  if (!condition) std::abort();
}

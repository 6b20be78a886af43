// Passing program text to and from the wide-character Windows API (Windows builds only).
#pragma once

#include <cwchar>

#include "platform/text.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

// The Windows API takes UTF-16 as wchar_t; the two types share size and meaning, so text
// crosses the boundary without conversion.
inline const wchar_t* ToWide(const String& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline String FromWide(const wchar_t* text, size_t length) {
  return String(reinterpret_cast<const char16_t*>(text), length);
}

inline String FromWide(const wchar_t* text) {
  return text == nullptr ? String() : FromWide(text, std::wcslen(text));
}

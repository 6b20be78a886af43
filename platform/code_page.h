// Conversions between program text and the byte texts of Windows code pages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/text.h"

namespace platform {

inline constexpr unsigned CodePageAnsi = 0;  // the system's ANSI code page (CP_ACP)
inline constexpr unsigned CodePageUtf8 = 65001;

// The system's ANSI code page (GetACP). The host double reports 1252 unless a test chose
// another with HostDouble::SetAnsiCodePage.
unsigned GetAnsiCodePage();

// Decodes bytes of a code page. Strict: returns false (and leaves Text empty) when the bytes
// are not valid in that code page, or the code page is unknown.
bool DecodeCodePage(unsigned code_page, const uint8_t* bytes, size_t size, String& text);

// Decodes bytes of a code page, whatever they hold: a byte that starts no character of the code
// page becomes a replacement character and the rest of the text is kept. A code page the system
// does not know keeps each byte as the character of the same number.
String DecodeCodePageLenient(unsigned code_page, const uint8_t* bytes, size_t size);

// Encodes text into a code page; characters it lacks become the code page's default character.
std::vector<uint8_t> EncodeCodePage(unsigned code_page, StringView text);

}  // namespace platform

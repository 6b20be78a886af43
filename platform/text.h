// The one text type of the program, and conversions at the edges where other encodings meet it.
#pragma once

#include <string>
#include <string_view>

// Text is UTF-16 everywhere, as the file formats and the Windows API are, so that lengths,
// equal-length comparisons and byte sizes mean the same on every build.
using String = std::u16string;
using StringView = std::u16string_view;

// UTF-8 to UTF-16. Invalid sequences become U+FFFD, one per maximal invalid subpart.
String Utf8ToString(std::string_view utf8);

// UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string StringToUtf8(StringView text);

// Removes every character with a code of 32 or less from both ends.
String Trim(StringView text);

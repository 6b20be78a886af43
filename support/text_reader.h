// Reading text out of bytes: byte order marks, decoding with a fallback, and cutting into lines.
#pragma once

#include <cstddef>

#include "platform/text.h"
#include "support/encoding.h"
#include "support/stream.h"

// Reads Stream from its position to its end as text. A byte order mark (UTF-8, UTF-16LE or
// UTF-16BE) chooses the encoding and is skipped; without one the text is in DefaultEncoding, or
// in the system's ANSI code page when that is null. Bytes the chosen encoding cannot decode are
// decoded with the ANSI code page instead, so any bytes give some text. FoundEncoding, when
// given, receives the encoding chosen; it is left alone for an empty stream, which chose none.
String ReadStreamText(TStream& stream, const TEncoding* default_encoding,
                      const TEncoding** found_encoding = nullptr);

// Calls Line(StringView) for each line of Text in order. A line ends at CR LF, CR, LF or U+2028
// (line separator); a U+2028 directly followed by CR, LF or CR LF is one break, as editors that
// write it before an ordinary line end mean it. Empty lines between breaks are passed on; the
// text after the last break is a line when it is not empty.
template <class LineCallback>
void ForEachLine(StringView text, LineCallback&& line) {
  constexpr char16_t CarriageReturn = u'\r';
  constexpr char16_t LineFeed = u'\n';
  constexpr char16_t LineSeparator = u'\u2028';
  const size_t size = text.size();
  size_t start = 0;
  for (size_t i = 0; i < size; ++i) {
    char16_t unit = text[i];
    if (unit != CarriageReturn && unit != LineFeed && unit != LineSeparator) continue;
    line(text.substr(start, i - start));
    if (unit == LineSeparator && i + 1 < size &&
        (text[i + 1] == CarriageReturn || text[i + 1] == LineFeed)) {
      unit = text[++i];
    }
    if (unit == CarriageReturn && i + 1 < size && text[i + 1] == LineFeed) ++i;
    start = i + 1;
  }
  if (start < size) line(text.substr(start));
}

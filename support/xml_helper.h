// Character references of XML text: decoding what the parser read, encoding what the writer
// writes, and when a value needs xml:space="preserve" to survive a round trip.
#pragma once

#include <cstddef>

#include "platform/text.h"

// The five characters with names: & "amp", > "gt", < "lt", " "quot", ' "apos".
class TVYNXMLHelper {
 public:
  // Replaces, left to right: a backslash before one of the five characters by that character;
  // a reference "&name;" (name made of '#', digits and ASCII letters) by the named character,
  // by the character of "&#number;" (decimal, or hexadecimal after x, X or 0x; a surrogate
  // pair beyond U+FFFF, U+FFFD beyond U+10FFFF, U+0000 when the number does not parse), or by
  // the bare name when it is not known. An
  // ampersand that starts no reference stays.
  static String DecodeText(StringView text);

  // Escapes the five characters by their names, but copies a well-formed reference unchanged,
  // so text that already holds references is not escaped twice.
  static String EncodeText(StringView text);

  // Whether the reader would trim or lose parts of Value without xml:space="preserve": it starts
  // or ends with a tab, LF, CR or space, or holds a line break anywhere.
  static bool NeedsPreserve(StringView value);

  // The length of the reference starting at Position ("&", name characters, ";"), or 0 when
  // no well-formed reference starts there.
  static size_t ReferenceLength(StringView text, size_t position);
};

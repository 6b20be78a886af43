// Comparing names ignoring letter case.
#include "support/names.h"

#include <algorithm>
#include <array>

#include "platform/locale.h"

bool SameName(StringView a, StringView b) {
  return a.size() == b.size() && platform::CompareTextIgnoringCase(a, b) == 0;
}

bool IsDeviceName(StringView part) {
  // The name before the first dot, without trailing blanks, is what Windows compares: "NUL.txt"
  // and "CON .log" are devices as much as "NUL" is.
  StringView stem = part.substr(0, std::min(part.find(u'.'), part.size()));
  while (!stem.empty() && stem.back() == u' ') stem.remove_suffix(1);
  static constexpr std::array<StringView, 6> Plain = {u"CON", u"PRN",    u"AUX",
                                                      u"NUL", u"CONIN$", u"CONOUT$"};
  for (const StringView device : Plain) {
    if (SameName(stem, device)) return true;
  }
  if (stem.size() == 4 &&
      (SameName(stem.substr(0, 3), u"COM") || SameName(stem.substr(0, 3), u"LPT"))) {
    // Any decimal digit, and the superscript one, two and three that Windows counts as well.
    const char16_t number = stem[3];
    return (number >= u'0' && number <= u'9') || number == u'\u00B9' || number == u'\u00B2' ||
           number == u'\u00B3';
  }
  return false;
}

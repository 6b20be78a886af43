// The host's stand-in for the user's locale: Unicode simple case folding from glibc's C.UTF-8
// locale, compared unit by unit.
#include <locale.h>
#include <wctype.h>

#include "platform/locale.h"

namespace platform {

namespace {

locale_t UnicodeLocale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return locale;
}

// Surrogates pass unchanged: the characters beyond the first plane that have case are too rare
// in file names and switches to justify pairing them up here.
char32_t FoldCase(char16_t unit) {
  if (unit < 0x80) return (unit >= u'A' && unit <= u'Z') ? unit + 32 : unit;
  if (unit >= 0xD800 && unit <= 0xDFFF) return unit;
  const locale_t locale = UnicodeLocale();
  if (locale == static_cast<locale_t>(0)) return unit;
  return static_cast<char32_t>(towlower_l(towupper_l(unit, locale), locale));
}

}  // namespace

int CompareTextIgnoringCase(StringView a, StringView b) {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < common; ++i) {
    const char32_t left = FoldCase(a[i]);
    const char32_t right = FoldCase(b[i]);
    if (left != right) return left < right ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace platform

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

bool IsLowerCase(char16_t unit) {
  if (unit < 0x80) return unit >= u'a' && unit <= u'z';
  if (unit >= 0xD800 && unit <= 0xDFFF) return false;
  const locale_t locale = UnicodeLocale();
  return locale != static_cast<locale_t>(0) && towupper_l(unit, locale) != unit;
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

int CompareText(StringView a, StringView b) {
  const int ignoring_case = CompareTextIgnoringCase(a, b);
  if (ignoring_case != 0) return ignoring_case;
  // Equal but for case (and so of equal length): the first unit that differs decides.
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] == b[i]) continue;
    const bool a_lower = IsLowerCase(a[i]);
    if (a_lower != IsLowerCase(b[i])) return a_lower ? -1 : 1;
    return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

String UpperCase(StringView text) {
  String upper(text);
  const locale_t locale = UnicodeLocale();
  for (char16_t& unit : upper) {
    if (unit < 0x80) {
      if (unit >= u'a' && unit <= u'z') unit = static_cast<char16_t>(unit - 32);
      continue;
    }
    if (locale == static_cast<locale_t>(0) || (unit >= 0xD800 && unit <= 0xDFFF)) continue;
    // The upper case of the folded form: units that CompareTextIgnoringCase folds together
    // (the Kelvin sign and "k", for one) get the same upper case.
    const auto result =
        static_cast<char32_t>(towupper_l(static_cast<wint_t>(FoldCase(unit)), locale));
    if (result <= 0xFFFF) unit = static_cast<char16_t>(result);
  }
  return upper;
}

}  // namespace platform

// Locale-aware comparison through CompareStringW.
#include <windows.h>

#include "platform/locale.h"

namespace platform {

namespace {

// CompareStringW fails for a null text, which is how an empty view may come; empty texts are
// decided here.
bool CompareEmpty(StringView a, StringView b, int& result) {
  if (!a.empty() && !b.empty()) return false;
  result = a.size() == b.size() ? 0 : (a.empty() ? -1 : 1);
  return true;
}

}  // namespace

int CompareTextIgnoringCase(StringView a, StringView b) {
  int empty_result;
  if (CompareEmpty(a, b, empty_result)) return empty_result;
  const int result =
      ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                       reinterpret_cast<const wchar_t*>(a.data()), static_cast<int>(a.size()),
                       reinterpret_cast<const wchar_t*>(b.data()), static_cast<int>(b.size()));
  // CSTR_LESS_THAN (1), CSTR_EQUAL (2), CSTR_GREATER_THAN (3); 0 is a failure, which only a
  // text longer than INT_MAX could cause, and is treated as "different".
  return result == 0 ? 1 : result - CSTR_EQUAL;
}

int CompareText(StringView a, StringView b) {
  int empty_result;
  if (CompareEmpty(a, b, empty_result)) return empty_result;
  const int result =
      ::CompareStringW(LOCALE_USER_DEFAULT, 0, reinterpret_cast<const wchar_t*>(a.data()),
                       static_cast<int>(a.size()), reinterpret_cast<const wchar_t*>(b.data()),
                       static_cast<int>(b.size()));
  return result == 0 ? 1 : result - CSTR_EQUAL;
}

String UpperCase(StringView text) {
  if (text.empty()) return String();
  // Lower case first: a few characters are upper case already and yet equal to another letter
  // when case is ignored (the Kelvin sign and "K"); through lower case both meet at one form.
  // Without LCMAP_LINGUISTIC_CASING each mapping is one unit for one unit, so the result fits.
  const int length = static_cast<int>(text.size());
  String lower(text.size(), u'\0');
  String upper(text.size(), u'\0');
  if (::LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE,
                     reinterpret_cast<const wchar_t*>(text.data()), length,
                     reinterpret_cast<wchar_t*>(lower.data()), length) != length ||
      ::LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE,
                     reinterpret_cast<const wchar_t*>(lower.data()), length,
                     reinterpret_cast<wchar_t*>(upper.data()), length) != length) {
    return String(text);
  }
  return upper;
}

}  // namespace platform

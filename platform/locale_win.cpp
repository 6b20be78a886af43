// Locale-aware comparison through CompareStringW.
#include <windows.h>

#include "platform/locale.h"

namespace platform {

int CompareTextIgnoringCase(StringView a, StringView b) {
  const int result =
      ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                       reinterpret_cast<const wchar_t*>(a.data()), static_cast<int>(a.size()),
                       reinterpret_cast<const wchar_t*>(b.data()), static_cast<int>(b.size()));
  // CSTR_LESS_THAN (1), CSTR_EQUAL (2), CSTR_GREATER_THAN (3); 0 is a failure, which only a
  // text longer than INT_MAX could cause, and is treated as "different".
  return result == 0 ? 1 : result - CSTR_EQUAL;
}

}  // namespace platform

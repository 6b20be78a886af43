// Comparing names ignoring letter case.
#include "support/names.h"

#include "platform/locale.h"

bool SameName(StringView a, StringView b) {
  return a.size() == b.size() && platform::CompareTextIgnoringCase(a, b) == 0;
}

// Locale-aware text comparison in the user's default locale.
#pragma once

#include "platform/text.h"

namespace platform {

// Compares two texts ignoring letter case, as the user's locale orders them: negative when A
// sorts first, zero when they are equal, positive otherwise.
[[nodiscard]] int CompareTextIgnoringCase(StringView a, StringView b);

// Compares two texts as the user's locale orders them with letter case counting: texts that
// differ only in case sort lower case first; any other difference decides before case does.
[[nodiscard]] int CompareText(StringView a, StringView b);

// The text in upper case, unit for unit (the result has the text's length), by the casing rules
// that CompareTextIgnoringCase ignores: texts it sees as equal have equal upper-case forms.
[[nodiscard]] String UpperCase(StringView text);

}  // namespace platform

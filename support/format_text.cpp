// Filling message placeholders.
#include "support/format_text.h"

String FormatText(StringView format, std::initializer_list<StringView> arguments) {
  String result;
  result.reserve(format.size());
  auto next = arguments.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    const char16_t c = format[i];
    const char16_t following = i + 1 < format.size() ? format[i + 1] : u'\0';
    if (c != u'%' || (following != u's' && following != u'd' && following != u'%')) {
      result.push_back(c);
      continue;
    }
    ++i;
    if (following == u'%') {
      result.push_back(u'%');
    } else if (next != arguments.end()) {
      result += *next++;
    }
  }
  return result;
}

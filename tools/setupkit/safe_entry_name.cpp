// Checking package entry names before they become file names.
#include "tools/setupkit/safe_entry_name.h"

#include "support/names.h"

bool IsSafeEntryName(StringView name, String& reason) {
  if (name.empty()) {
    reason = u"the name is empty";
    return false;
  }
  if (name[0] == u'\\' || name[0] == u'/') {
    reason = u"it is an absolute path";
    return false;
  }
  for (const char16_t c : name) {
    if (c < 32 || c == u'<' || c == u'>' || c == u'"' || c == u'|' || c == u'?' || c == u'*') {
      reason = u"it holds a character that file names cannot";
      return false;
    }
    if (c == u':') {
      reason = u"it names a drive or a data stream";
      return false;
    }
  }
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of(u"\\/", start);
    if (end == StringView::npos) end = name.size();
    const StringView part = name.substr(start, end - start);
    if (part.empty()) {
      reason = u"it has an empty path part";
      return false;
    }
    if (part == u"." || part == u"..") {
      reason = u"it climbs out of the folder";
      return false;
    }
    if (part.back() == u'.' || part.back() == u' ') {
      // Windows drops trailing dots and blanks, so "a." and "a" would be the same file.
      reason = u"a path part ends in a dot or a blank";
      return false;
    }
    if (IsDeviceName(part)) {
      reason = u"it names a device";
      return false;
    }
    start = end + 1;
  }
  return true;
}

// Parts of Windows file names.
#include "platform/file_name.h"

#include "platform/locale.h"

namespace platform {

namespace {

constexpr char16_t NameDelimiters[] = u"\\/:";

bool IsDelimiter(char16_t unit) {
  return unit == u'\\' || unit == u'/';
}

bool IsDriveLetter(char16_t unit) {
  return (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z');
}

// Where the last component begins: just after the last "\", "/" or ":".
size_t NameStart(StringView path) {
  const size_t delimiter = path.find_last_of(NameDelimiters);
  return delimiter == StringView::npos ? 0 : delimiter + 1;
}

// Where the extension's dot is, or npos; only the last component can have one.
size_t ExtensionStart(StringView path) {
  const size_t dot = path.find_last_of(u'.');
  return dot != StringView::npos && dot >= NameStart(path) ? dot : StringView::npos;
}

// Length of a root at the start of Path: 3 for "C:\", 1 for "\", 0 for none. A share's root is
// not counted: its last delimiter is the one trimmed away ("\\server\share\" → "\\server\share").
size_t DriveOrSlashRootLength(StringView path) {
  if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == u':' && IsDelimiter(path[2])) {
    return 3;
  }
  return !path.empty() && IsDelimiter(path[0]) ? 1 : 0;
}

}  // namespace

String ExtractFilePath(StringView path) {
  return String(path.substr(0, NameStart(path)));
}

String ExtractFileName(StringView path) {
  return String(path.substr(NameStart(path)));
}

String ExtractFileExt(StringView path) {
  const size_t dot = ExtensionStart(path);
  return dot == StringView::npos ? String() : String(path.substr(dot));
}

String ChangeFileExt(StringView path, StringView extension) {
  const size_t dot = ExtensionStart(path);
  return String(path.substr(0, dot == StringView::npos ? path.size() : dot)) + String(extension);
}

String IncludeTrailingPathDelimiter(StringView path) {
  String result(path);
  if (!result.empty() && result.back() != u'\\') result.push_back(u'\\');
  return result;
}

String ExcludeTrailingPathDelimiter(StringView path) {
  const size_t keep = DriveOrSlashRootLength(path);
  size_t end = path.size();
  while (end > keep && IsDelimiter(path[end - 1])) --end;
  return String(path.substr(0, end));
}

bool StartsWithIgnoringCase(StringView text, StringView prefix) {
  return text.size() >= prefix.size() &&
         UpperCase(text.substr(0, prefix.size())) == UpperCase(prefix);
}

bool SameFileName(StringView a, StringView b) {
  return a.size() == b.size() && UpperCase(a) == UpperCase(b);
}

bool IsAbsolutePath(StringView path) {
  if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == u':' && IsDelimiter(path[2])) {
    return true;
  }
  return path.size() >= 3 && IsDelimiter(path[0]) && IsDelimiter(path[1]) && !IsDelimiter(path[2]);
}

bool IsRootPath(StringView path) {
  if (path.size() == 3 && IsDriveLetter(path[0]) && path[1] == u':' && IsDelimiter(path[2])) {
    return true;
  }
  if (path.size() < 2 || !IsDelimiter(path[0]) || !IsDelimiter(path[1])) return false;
  // "\\server\share" with at most one delimiter after the share's name.
  StringView rest = path.substr(2);
  if (!rest.empty() && IsDelimiter(rest.back())) rest.remove_suffix(1);
  const size_t split = rest.find_first_of(u"\\/");
  if (split == StringView::npos || split == 0 || split + 1 == rest.size()) return false;
  return rest.find_first_of(u"\\/", split + 1) == StringView::npos;
}

bool IsPathInFolder(StringView path, StringView folder) {
  if (folder.empty()) return false;
  const String prefix = IncludeTrailingPathDelimiter(folder);
  return path.size() > prefix.size() && StartsWithIgnoringCase(path, prefix);
}

}  // namespace platform

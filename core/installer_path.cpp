// Cleaning up the installer's paths.
#include "core/installer_path.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/file_name.h"
#include "platform/file_system.h"
#include "support/format_text.h"
#include "support/names.h"

namespace {

constexpr size_t MaximumPartLength = 255;

bool IsDriveLetter(char16_t unit) {
  return (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z');
}

bool StartsWithUnc(StringView text) {
  // "UNC\" in any letter case, as the system reads it.
  return text.size() >= 4 && (text[0] == u'U' || text[0] == u'u') &&
         (text[1] == u'N' || text[1] == u'n') && (text[2] == u'C' || text[2] == u'c') &&
         text[3] == u'\\';
}

// One part between delimiters without the characters a name cannot hold and without leading
// blanks; "." and ".." are still themselves here, so that the caller can resolve them.
String StripPart(StringView part) {
  String clean;
  for (const char16_t unit : part) {
    if (String(u"\"<>*?|:").find(unit) == String::npos) clean.push_back(unit);
  }
  const size_t first = clean.find_first_not_of(u' ');
  clean.erase(0, first == String::npos ? clean.size() : first);
  return clean;
}

// Windows ignores trailing blanks and dots of a name: "dest. . " and "dest" are one folder.
void TrimPartEnd(String& part) {
  if (part.size() > MaximumPartLength) part.resize(MaximumPartLength);
  while (!part.empty() && (part.back() == u' ' || part.back() == u'.')) part.pop_back();
}

// A name part of a share's root ("server", "share"), cleaned like any other part.
String CleanRootPart(StringView part) {
  String clean = StripPart(part);
  TrimPartEnd(clean);
  return clean;
}

}  // namespace

String CleanInstallerPath(StringView path) {
  String text(path);
  for (char16_t& unit : text) {
    if (unit == u'/') unit = u'\\';
  }
  StringView rest = text;
  String root;
  if (rest.starts_with(u"\\\\?\\") || rest.starts_with(u"\\\\.\\")) {
    rest.remove_prefix(4);
    // "\\?\UNC\server\share" is the long form of "\\server\share".
    if (StartsWithUnc(rest)) {
      rest.remove_prefix(4);
      root = u"\\\\";
    }
  }
  if (root.empty() && rest.size() >= 2 && IsDriveLetter(rest[0]) && rest[1] == u':') {
    // "C:x" is relative to the drive's current folder; "C:" alone and "C:\x" are absolute.
    root = String(rest.substr(0, 2));
    rest.remove_prefix(2);
    if (rest.empty() || rest.front() == u'\\') root.push_back(u'\\');
  } else if (root.empty() && rest.starts_with(u"\\\\")) {
    root = u"\\\\";
    rest.remove_prefix(2);
  } else if (root.empty() && rest.starts_with(u"\\")) {
    root = u"\\";
  }
  if (root == u"\\\\") {
    // A share's root: the server's and the share's names, each followed by a delimiter.
    for (int name = 0; name < 2 && !rest.empty(); ++name) {
      const size_t end = std::min(rest.find(u'\\'), rest.size());
      root += CleanRootPart(rest.substr(0, end)) + u"\\";
      rest.remove_prefix(std::min(end + 1, rest.size()));
    }
  }

  std::vector<String> parts;
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find(u'\\', start);
    if (end == StringView::npos) end = rest.size();
    String part = StripPart(rest.substr(start, end - start));
    start = end + 1;
    if (part == u".") continue;
    if (part == u"..") {
      // Never above the root: "C:\.." is "C:\", as Windows reads it.
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    TrimPartEnd(part);
    if (!part.empty()) parts.push_back(std::move(part));
  }

  String result = root;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) result.push_back(u'\\');
    result += parts[i];
  }
  const bool trailing_delimiter = !text.empty() && text.back() == u'\\';
  if (trailing_delimiter && !parts.empty()) result.push_back(u'\\');
  return result;
}

String NormalizeDestPath(StringView path) {
  String clean = CleanInstallerPath(path);
  // A destination too long to be one is refused as it stands (DestPathError); asking the
  // system about it would only cost time.
  if (clean.find(u'~') != String::npos && clean.size() <= MaximumDestPathLength + 1) {
    // A short name ("PROGRA~1") would make the same folder look like another one to every
    // comparison with the long form; only an existing folder has a long form to find.
    String long_path;
    if (platform::GetLongPath(clean, long_path)) clean = CleanInstallerPath(long_path);
  }
  return platform::IncludeTrailingPathDelimiter(clean);
}

String DestPathError(StringView path) {
  const size_t length = platform::ExcludeTrailingPathDelimiter(path).size();
  if (length > MaximumDestPathLength) {
    return FormatText(
        u"The destination folder \"%s\" is %d characters long: the paths of the files installed "
        u"in it would pass the %d characters that Windows programs handle. Choose a folder of at "
        u"most %d characters.",
        {QuotablePath(path), Utf8ToString(std::to_string(length)),
         Utf8ToString(std::to_string(MaximumInstalledPathLength)),
         Utf8ToString(std::to_string(MaximumDestPathLength))});
  }
  if (!platform::IsAbsolutePath(path)) {
    return FormatText(
        u"The destination folder \"%s\" is not a full path: name its drive or network share too.",
        {path});
  }
  if (platform::IsRootPath(path)) {
    return FormatText(
        u"The destination folder \"%s\" is the root of a drive or share: choose a folder in it.",
        {path});
  }
  if (const String device = DeviceNameIn(path); !device.empty()) {
    return FormatText(
        u"The destination folder \"%s\" names the device \"%s\": choose another folder.",
        {path, device});
  }
  return String();
}

String DeviceNameIn(StringView path) {
  size_t start = 0;
  while (start < path.size()) {
    const size_t end = std::min(path.find_first_of(u"\\/", start), path.size());
    const StringView part = path.substr(start, end - start);
    if (!part.empty() && IsDeviceName(part)) return String(part);
    start = end + 1;
  }
  return String();
}

String TargetNameProblem(StringView path) {
  String slashed(path);
  std::replace(slashed.begin(), slashed.end(), u'/', u'\\');
  if (slashed.starts_with(u"\\\\?\\") || slashed.starts_with(u"\\\\.\\")) {
    return u"it addresses the system's device namespace";
  }
  for (size_t i = 0; i < slashed.size(); ++i) {
    const char16_t unit = slashed[i];
    if (unit < 32) return u"it holds a control character";
    if (String(u"\"<>*?|").find(unit) != String::npos) {
      return u"it holds a character that file names cannot hold";
    }
    // "C:\…" is a drive; a colon anywhere else names a data stream of a file ("a.txt:stream")
    // or a drive in the middle of a path.
    if (unit == u':' && !(i == 1 && IsDriveLetter(slashed[0]))) {
      return u"it names a data stream (a colon after a name)";
    }
  }
  return String();
}

String QuotablePath(StringView path) {
  constexpr size_t Head = 60;
  constexpr size_t Tail = 20;
  if (path.size() <= Head + Tail + 1) return String(path);
  return String(path.substr(0, Head)) + u"\u2026" + String(path.substr(path.size() - Tail));
}

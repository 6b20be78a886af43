// Parts of Windows file names: folder, name, extension and trailing delimiters. Pure text work,
// the same on every build; nothing here touches the disk.
#pragma once

#include "platform/text.h"

namespace platform {

// The folder part, with its trailing delimiter: everything up to the last "\", "/" or ":".
String ExtractFilePath(StringView path);
// The last component: everything after the last "\", "/" or ":".
String ExtractFileName(StringView path);
// The extension of the last component with its dot (".exe"), or empty when it has none; a dot in
// a folder's name is not an extension.
String ExtractFileExt(StringView path);
// Path with its extension replaced by Extension (which carries its dot, or is empty).
String ChangeFileExt(StringView path, StringView extension);

// Path ending with exactly one "\" added when it had none (an empty path stays empty).
String IncludeTrailingPathDelimiter(StringView path);
// Path without its trailing "\" or "/" characters, except for a root ("\" or "C:\").
String ExcludeTrailingPathDelimiter(StringView path);

// Whether Text starts with Prefix, letter case ignored (ordinal, as file names compare).
bool StartsWithIgnoringCase(StringView text, StringView prefix);
// Whether two paths name the same thing, letter case ignored (ordinal).
bool SameFileName(StringView a, StringView b);

// "C:\…" (a drive and a delimiter) or "\\server\share\…"; "C:x", "\x" and "x" are relative.
bool IsAbsolutePath(StringView path);
// A drive's root ("C:\") or a share's root ("\\server\share\").
bool IsRootPath(StringView path);
// Whether Path lies strictly inside Folder (not Folder itself), letter case ignored. Both are
// taken as written: callers clean them first.
bool IsPathInFolder(StringView path, StringView folder);

}  // namespace platform

// Paths as the installer writes to them: one clean-up for the destination and for every target
// the script names, so that the folder the product's files go to, the folder Uninstall.exe and
// Uninstall.dat go to and the folder that is registered are always the same folder.
#pragma once

#include <cstddef>

#include "platform/text.h"

// The longest full path of an installed file that Windows programs handle: shortcuts, file
// dialogs, the shell and most programs stop at MAX_PATH, 260 characters with the closing zero.
// An installation with longer paths installs, but is broken for its user.
inline constexpr size_t MaximumInstalledPathLength = 259;
// The longest destination folder, without its trailing delimiter: Uninstall.exe and
// Uninstall.dat are always installed in it, behind a delimiter, and must stay within the limit.
inline constexpr size_t MaximumDestPathLength = MaximumInstalledPathLength - 1 - 13;

// Path cleaned up the way Windows itself reads it, in the one form the installer keeps:
// - "/" read as "\"; the long-path prefixes "\\?\" and "\\?\UNC\" (and "\\.\") taken off, so
//   that "\\?\C:\x" is "C:\x" and "\\?\UNC\server\share\x" is "\\server\share\x";
// - the root kept: a drive ("C:\"; a lone "C:" reads as its root), a share ("\\server\share\"),
//   or a bare "\" or "C:" in front of a relative path, which stays relative;
// - in each part between delimiters: the characters names cannot hold (" < > * ? | :) removed,
//   leading blanks and trailing blanks and dots trimmed (as Windows trims them, so that "dest. ."
//   and "dest" are one folder), cut to 255 characters;
// - empty parts and "." dropped; ".." takes away the part before it, never the root;
// - a trailing delimiter kept when Path had one.
String CleanInstallerPath(StringView path);

// The destination as the installer keeps it: cleaned up as above, short (8.3) names of an
// existing folder made long, with a trailing delimiter. An empty path stays empty.
String NormalizeDestPath(StringView path);

// Why Path (as NormalizeDestPath gives it) cannot be a destination, or empty when it can: it
// must be a full path ("C:\…" or "\\server\share\…"), not a drive's or a share's root, whose
// clean-up on uninstall would reach everything on the drive, name no device ("C:\NUL\"), and be
// at most MaximumDestPathLength characters long. The length is checked first and costs nothing, so
// that a destination of thousands of characters is refused before anything looks at the disk.
String DestPathError(StringView path);

// The first name between delimiters of Path that is a device's (IsDeviceName), or empty when
// there is none.
String DeviceNameIn(StringView path);

// Why a target as the installation script writes it (before its variables are replaced and the
// path is cleaned up) would not be written as it reads, or empty when it would: the clean-up
// removes characters that names cannot hold, so "a.txt:stream" (a data stream) or "a?.txt" would
// quietly become another name; "\\?\" and "\\.\" address the system's device namespace; control
// characters are in no valid name. A colon is allowed only as a drive's ("C:\").
String TargetNameProblem(StringView path);

// Path as a message quotes it: a path of thousands of characters is cut in its middle.
String QuotablePath(StringView path);

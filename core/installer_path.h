// Paths as the installer writes to them: one clean-up for the destination and for every target
// the script names, so that the folder the product's files go to, the folder Uninstall.exe and
// Uninstall.dat go to and the folder that is registered are always the same folder.
#pragma once

#include "platform/text.h"

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
// must be a full path ("C:\…" or "\\server\share\…"), and not a drive's or a share's root, whose
// clean-up on uninstall would reach everything on the drive.
String DestPathError(StringView path);

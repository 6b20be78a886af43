// Packing a folder into a setup package: which files, under which names, in which order.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "platform/text.h"
#include "support/stream.h"
#include "tools/setupkit/tool_console.h"

// A file below a packed folder: its name in the package and where it is on this system.
struct TFolderFile {
  String Name;
  std::filesystem::path Path;
};

// Every file below Folder, named by its path relative to Folder with backslashes, in an order
// that is the same on every system. Raises Exception when Folder is not a readable folder.
std::vector<TFolderFile> ListFolderFiles(StringView folder);

// Packs Files, as ListFolderFiles gave them, into a package written to Dest at an LZMA level
// from 0 to 9, reporting progress on Console. Returns the number of bytes packed.
int64_t PackFolderFiles(const std::vector<TFolderFile>& files, TStream& dest, int level,
                        TToolConsole& console);

// Sizes and counts as the tool prints them.
String FormatNumber(int64_t value);
String FormatMegabytes(int64_t bytes);

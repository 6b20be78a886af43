// For tests: reads back a ZIP archive's bytes with minizip's reader, an independent check of what
// the writer produced (names, flags, method, dates, content and its CRC).
#pragma once

#include <minizip/unzip.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct ZipTestEntry {
  std::string Name;  // as stored: UTF-8 when the flag says so
  unsigned long Flag;
  unsigned long Method;
  tm_unz Date;
  unsigned long ExternalAttributes;
  std::string Content;
};

// The archive as a file that minizip's reader seeks and reads in memory.
class ZipTestMemoryFile {
 public:
  explicit ZipTestMemoryFile(const std::string& bytes) : bytes_(bytes) {}

  zlib_filefunc64_def Functions() {
    zlib_filefunc64_def functions{};
    functions.zopen64_file = [](voidpf opaque, const void*, int) -> voidpf { return opaque; };
    functions.zread_file = [](voidpf, voidpf stream, void* buffer, uLong size) -> uLong {
      auto& file = *static_cast<ZipTestMemoryFile*>(stream);
      const size_t count = std::min<size_t>(size, file.bytes_.size() - file.position_);
      std::memcpy(buffer, file.bytes_.data() + file.position_, count);
      file.position_ += count;
      return static_cast<uLong>(count);
    };
    functions.zwrite_file = [](voidpf, voidpf, const void*, uLong) -> uLong { return 0; };
    functions.ztell64_file = [](voidpf, voidpf stream) -> ZPOS64_T {
      return static_cast<ZipTestMemoryFile*>(stream)->position_;
    };
    functions.zseek64_file = [](voidpf, voidpf stream, ZPOS64_T offset, int origin) -> long {
      auto& file = *static_cast<ZipTestMemoryFile*>(stream);
      const uint64_t base = origin == ZLIB_FILEFUNC_SEEK_SET   ? 0
                            : origin == ZLIB_FILEFUNC_SEEK_CUR ? file.position_
                                                               : file.bytes_.size();
      if (base + offset > file.bytes_.size()) return -1;
      file.position_ = base + offset;
      return 0;
    };
    functions.zclose_file = [](voidpf, voidpf) -> int { return 0; };
    functions.zerror_file = [](voidpf, voidpf) -> int { return 0; };
    functions.opaque = this;
    return functions;
  }

 private:
  const std::string& bytes_;
  uint64_t position_ = 0;
};

// Every entry in central-directory order; a failure of the reader (a damaged archive, a CRC that
// does not match the content) fails the test and ends the list.
inline std::vector<ZipTestEntry> ReadZipEntries(const std::string& archive) {
  std::vector<ZipTestEntry> entries;
  ZipTestMemoryFile file(archive);
  zlib_filefunc64_def functions = file.Functions();
  unzFile zip = unzOpen2_64("memory", &functions);
  if (zip == nullptr) {
    ADD_FAILURE() << "the reader does not take the archive as a ZIP file";
    return entries;
  }
  for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
    unz_file_info64 info{};
    char name[1024] = {};
    if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK ||
        unzOpenCurrentFile(zip) != UNZ_OK) {
      ADD_FAILURE() << "cannot open the entry after " << entries.size() << " entries";
      break;
    }
    ZipTestEntry entry{name,          info.flag,        info.compression_method,
                       info.tmu_date, info.external_fa, {}};
    char buffer[16384];
    int count;
    while ((count = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0) {
      entry.Content.append(buffer, static_cast<size_t>(count));
    }
    EXPECT_EQ(count, 0) << "reading " << entry.Name;
    // Closing checks the CRC of what was read against the one stored.
    EXPECT_EQ(unzCloseCurrentFile(zip), UNZ_OK) << "CRC of " << entry.Name;
    EXPECT_EQ(entry.Content.size(), info.uncompressed_size) << entry.Name;
    entries.push_back(std::move(entry));
  }
  unzClose(zip);
  return entries;
}

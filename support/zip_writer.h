// Writes a ZIP archive file by file: Deflate entries with UTF-8 names, streamed from disk.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/file.h"
#include "platform/text.h"
#include "support/file_stream.h"

// Every file goes through the platform layer (Windows paths and sharing on both builds); minizip
// does the format and zlib the compression. Failures raise EStreamError descendants whose
// message names the file and gives the system's reason; AddFile also leaves the platform's last
// error at that reason's code, for callers that report it separately.
class TZipWriter {
 public:
  // Creates (replacing) a ZIP archive at Path; raises EFCreateError with the system's reason
  // when it cannot be created.
  explicit TZipWriter(StringView path);
  // Closes the archive when Close was not called, without raising.
  ~TZipWriter();
  TZipWriter(const TZipWriter&) = delete;
  TZipWriter& operator=(const TZipWriter&) = delete;

  // Adds the file at Source_path under Archive_name (backslashes become "/"): Deflate, the name
  // marked as UTF-8, the file's last-write time and attributes. The source is opened for reading
  // while denying others write access and streamed in chunks. Raises EFOpenError when the source
  // cannot be opened, EStreamError on a read or write failure. After a failed read the entry
  // holds what was read and the archive stays usable; after a failed write to the archive every
  // later call raises, since the archive is damaged.
  void AddFile(StringView source_path, StringView archive_name);

  // Writes the central directory and closes the file; raises EStreamError when that fails, or
  // when an earlier write to the archive failed. The archive is closed either way.
  void Close();

  const String& Path() const { return path_; }

 private:
  // The minizip file callbacks over archive_; they reach the private members.
  struct Callbacks;

  // The platform error of the last failed archive operation, or a stand-in for minizip's own
  // failures, which carry none.
  uint32_t ArchiveFailure() const;
  [[noreturn]] void RaiseWriteError(uint32_t error) const;
  // Closes the minizip handle; false when minizip could not finish the archive.
  bool CloseHandle();

  String path_;
  platform::File archive_;
  void* handle_ = nullptr;
  // The platform error of the last failed operation on the archive file.
  uint32_t archive_error_ = 0;
  // An earlier write to the archive failed: its error, or 0.
  uint32_t damage_error_ = 0;
  // The archive file's own position, and the bytes minizip wrote that are not there yet.
  int64_t file_position_ = 0;
  std::vector<uint8_t> pending_;
  // One chunk of a source file on its way into the archive.
  std::vector<uint8_t> buffer_;
};

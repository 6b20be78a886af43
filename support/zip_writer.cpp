// Writes a ZIP archive file by file: Deflate entries with UTF-8 names, streamed from disk.
#include "support/zip_writer.h"

#include <minizip/zip.h>

#include <algorithm>
#include <string>

#include "platform/clock.h"
#include "platform/file_attributes.h"
#include "platform/file_time.h"
#include "platform/os_error.h"
#include "support/file_stream.h"

namespace {

// General purpose bit 11: the entry's name (and comment) are UTF-8, not the OEM code page.
constexpr uLong Utf8NameFlag = 1u << 11;
// Version 2.0 of the format (Deflate), written on a system whose attributes are MS-DOS ones
// (high byte 0), so that readers take the external attributes as read-only, hidden and so on.
constexpr uLong VersionMadeBy = 20;
// The MS-DOS attributes an archive keeps: read-only, hidden, system, archive.
constexpr uint32_t KeptAttributes = 0x27;
// Sources are read and the archive written in chunks of this size: large enough that the cost of
// each system call vanishes, small enough to stay out of the way of the rest of the installer.
constexpr size_t ChunkSize = 256 * 1024;
// Entries that reach this size need the ZIP64 extension for their sizes.
constexpr int64_t LargestPlainEntry = 0xFFFFFFFF;

String FileErrorMessage(StringView prefix, StringView file_name, uint32_t error) {
  return String(prefix) + u" \"" + String(file_name) + u"\". " + platform::SysErrorMessage(error);
}

// Raises with the platform's last error left at Error, for callers that report it as well.
template <class ErrorClass>
[[noreturn]] void RaiseFileError(StringView prefix, StringView file_name, uint32_t error) {
  ErrorClass exception(FileErrorMessage(prefix, file_name, error));
  platform::SetLastOSError(error);
  throw exception;
}

// The date of an entry is an MS-DOS date, which spans 1980 to 2107; times outside are clamped
// rather than wrapped into a wrong year.
tm_zip ToZipTime(const platform::LocalTime& time) {
  if (time.Year < 1980) return tm_zip{0, 0, 0, 1, 0, 1980};
  if (time.Year > 2107) return tm_zip{58, 59, 23, 31, 11, 2107};
  return tm_zip{time.Second, time.Minute, time.Hour, time.Day, time.Month - 1u, time.Year};
}

zip_fileinfo EntryInfo(StringView source_path) {
  zip_fileinfo info{};
  platform::LocalTime time{};
  // The time is a courtesy to whoever restores the files; a file that cannot tell it is still
  // worth saving, stamped with the moment of the backup.
  if (!platform::GetFileLastWriteTime(source_path, time)) time = platform::GetCurrentLocalTime();
  info.tmz_date = ToZipTime(time);
  const uint32_t attributes = platform::GetFileAttributeFlags(source_path);
  if (attributes != platform::InvalidFileAttributes) info.external_fa = attributes & KeptAttributes;
  return info;
}

std::string EntryName(StringView archive_name) {
  String name(archive_name);
  std::replace(name.begin(), name.end(), u'\\', u'/');
  return StringToUtf8(name);
}

}  // namespace

// minizip asks for its archive file through these; the stream they hand out is the writer's
// platform file, so the archive follows the same path rules and failure paths as every file.
// minizip writes each header field with a call of its own: the writes are gathered in a buffer
// that goes to the file when full and before every seek, so the system sees few large writes.
struct TZipWriter::Callbacks {
  static TZipWriter& Writer(voidpf opaque) { return *static_cast<TZipWriter*>(opaque); }

  // Records the failure of the last file operation for the exception the writer raises later.
  static void Fail(TZipWriter& writer) { writer.archive_error_ = platform::GetLastOSError(); }

  // Writes straight to the file; a short write without a system error is a full disk.
  static bool WriteThrough(TZipWriter& writer, const void* bytes, size_t count) {
    size_t done = 0;
    const bool written = writer.archive_.Write(bytes, count, done);
    writer.file_position_ += static_cast<int64_t>(done);
    if (!written) Fail(writer);
    if (written && done < count) writer.archive_error_ = platform::ErrorDiskFull;
    return written && done == count;
  }

  // On failure the gathered bytes are dropped: the archive has a gap either way, and the writer
  // treats it as damaged from then on.
  static bool Flush(TZipWriter& writer) {
    if (writer.pending_.empty()) return true;
    const bool written = WriteThrough(writer, writer.pending_.data(), writer.pending_.size());
    writer.pending_.clear();
    return written;
  }

  static voidpf ZCALLBACK Open(voidpf opaque, const void*, int mode) {
    TZipWriter& writer = Writer(opaque);
    // The writer only ever creates a new archive; minizip asks for read access too.
    if ((mode & ZLIB_FILEFUNC_MODE_CREATE) == 0) {
      writer.archive_error_ = platform::ErrorInvalidParameter;
      return nullptr;
    }
    writer.archive_ =
        platform::File::Open(writer.path_, platform::FileAccess::ReadWrite, platform::FileShareRead,
                             platform::FileCreation::CreateAlways);
    if (!writer.archive_.IsOpen()) {
      Fail(writer);
      return nullptr;
    }
    writer.file_position_ = 0;
    writer.pending_.reserve(ChunkSize);
    return &writer.archive_;
  }

  static uLong ZCALLBACK Read(voidpf opaque, voidpf, void* buffer, uLong size) {
    TZipWriter& writer = Writer(opaque);
    if (!Flush(writer)) return 0;
    size_t done = 0;
    if (!writer.archive_.Read(buffer, size, done)) Fail(writer);
    writer.file_position_ += static_cast<int64_t>(done);
    return static_cast<uLong>(done);
  }

  static uLong ZCALLBACK Write(voidpf opaque, voidpf, const void* buffer, uLong size) {
    TZipWriter& writer = Writer(opaque);
    if (writer.pending_.size() + size > ChunkSize && !Flush(writer)) return 0;
    if (size >= ChunkSize) return WriteThrough(writer, buffer, size) ? size : 0;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    writer.pending_.insert(writer.pending_.end(), bytes, bytes + size);
    return size;
  }

  static ZPOS64_T ZCALLBACK Tell(voidpf opaque, voidpf) {
    const TZipWriter& writer = Writer(opaque);
    return static_cast<ZPOS64_T>(writer.file_position_) + writer.pending_.size();
  }

  static long ZCALLBACK Seek(voidpf opaque, voidpf, ZPOS64_T offset, int origin) {
    TZipWriter& writer = Writer(opaque);
    if (!Flush(writer)) return -1;
    const platform::SeekOrigin from = origin == ZLIB_FILEFUNC_SEEK_SET ? platform::SeekOrigin::Begin
                                      : origin == ZLIB_FILEFUNC_SEEK_CUR
                                          ? platform::SeekOrigin::Current
                                          : platform::SeekOrigin::End;
    if (!writer.archive_.Seek(static_cast<int64_t>(offset), from, writer.file_position_)) {
      Fail(writer);
      return -1;
    }
    return 0;
  }

  static int ZCALLBACK Close(voidpf opaque, voidpf) {
    TZipWriter& writer = Writer(opaque);
    const bool flushed = Flush(writer);
    writer.archive_.Close();
    return flushed ? 0 : -1;
  }

  static int ZCALLBACK Error(voidpf opaque, voidpf) { return Writer(opaque).archive_error_ != 0; }
};

TZipWriter::TZipWriter(StringView path) : path_(path), buffer_(ChunkSize) {
  zlib_filefunc64_def functions{};
  functions.zopen64_file = Callbacks::Open;
  functions.zread_file = Callbacks::Read;
  functions.zwrite_file = Callbacks::Write;
  functions.ztell64_file = Callbacks::Tell;
  functions.zseek64_file = Callbacks::Seek;
  functions.zclose_file = Callbacks::Close;
  functions.zerror_file = Callbacks::Error;
  functions.opaque = this;
  handle_ = zipOpen2_64(path_.c_str(), APPEND_STATUS_CREATE, nullptr, &functions);
  if (handle_ == nullptr) {
    const uint32_t error = ArchiveFailure();
    archive_.Close();
    RaiseFileError<EFCreateError>(u"Cannot create file", path_, error);
  }
}

TZipWriter::~TZipWriter() {
  if (handle_ != nullptr) CloseHandle();
}

void TZipWriter::AddFile(StringView source_path, StringView archive_name) {
  if (handle_ == nullptr) {
    throw EStreamError(u"The archive \"" + path_ + u"\" is already closed");
  }
  if (damage_error_ != 0) RaiseWriteError(damage_error_);

  platform::File source =
      platform::File::Open(source_path, platform::FileAccess::Read, platform::FileShareRead,
                           platform::FileCreation::OpenExisting);
  if (!source.IsOpen()) {
    RaiseFileError<EFOpenError>(u"Cannot open file", source_path, platform::GetLastOSError());
  }
  // Others cannot write to the source while it is open, so its size stays what it is now.
  int64_t size = 0;
  if (!source.GetSize(size)) {
    RaiseFileError<EStreamError>(u"Cannot read file", source_path, platform::GetLastOSError());
  }

  const zip_fileinfo info = EntryInfo(source_path);
  const std::string name = EntryName(archive_name);
  const int opened = zipOpenNewFileInZip4_64(
      handle_, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
      Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0,
      VersionMadeBy, Utf8NameFlag, size >= LargestPlainEntry ? 1 : 0);
  if (opened == ZIP_ERRNO) {
    damage_error_ = ArchiveFailure();
    RaiseWriteError(damage_error_);
  }
  if (opened == ZIP_PARAMERROR) {
    // The format's limit: a name of more than 65535 bytes.
    EStreamError exception(u"Cannot add \"" + String(archive_name) + u"\" to the archive \"" +
                           path_ + u"\". " +
                           platform::SysErrorMessage(platform::ErrorInvalidParameter));
    platform::SetLastOSError(platform::ErrorInvalidParameter);
    throw exception;
  }
  if (opened != ZIP_OK) RaiseWriteError(platform::ErrorNotEnoughMemory);

  for (;;) {
    size_t done = 0;
    if (!source.Read(buffer_.data(), buffer_.size(), done)) {
      const uint32_t error = platform::GetLastOSError();
      // The entry keeps what was read and the archive stays consistent; the caller learns that
      // this file is incomplete from the exception.
      if (zipCloseFileInZip(handle_) != ZIP_OK) damage_error_ = ArchiveFailure();
      RaiseFileError<EStreamError>(u"Cannot read file", source_path, error);
    }
    if (done > 0 &&
        zipWriteInFileInZip(handle_, buffer_.data(), static_cast<unsigned>(done)) != ZIP_OK) {
      damage_error_ = ArchiveFailure();
      zipCloseFileInZip(handle_);
      RaiseWriteError(damage_error_);
    }
    // A short read is the end of the file: the system fills the buffer while there is more.
    if (done < buffer_.size()) break;
  }
  if (zipCloseFileInZip(handle_) != ZIP_OK) {
    damage_error_ = ArchiveFailure();
    RaiseWriteError(damage_error_);
  }
}

void TZipWriter::Close() {
  if (handle_ == nullptr) return;
  const bool finished = CloseHandle();
  if (damage_error_ != 0) RaiseWriteError(damage_error_);
  if (!finished) RaiseWriteError(ArchiveFailure());
}

uint32_t TZipWriter::ArchiveFailure() const {
  // Apart from the file operations, minizip fails only when memory runs out.
  return archive_error_ != 0 ? archive_error_ : platform::ErrorNotEnoughMemory;
}

bool TZipWriter::CloseHandle() {
  const int result = zipClose(handle_, nullptr);
  handle_ = nullptr;
  archive_.Close();
  return result == ZIP_OK;
}

void TZipWriter::RaiseWriteError(uint32_t error) const {
  RaiseFileError<EStreamError>(u"Cannot write file", path_, error);
}

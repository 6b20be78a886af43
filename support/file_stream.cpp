// A stream over a file.
#include "support/file_stream.h"

#include "platform/os_error.h"

namespace {

unsigned ShareFlags(unsigned mode) {
  switch (mode & 0x00F0) {
    case fmShareExclusive: return platform::FileShareNone;
    case fmShareDenyWrite: return platform::FileShareRead;
    case fmShareDenyRead: return platform::FileShareWrite;
    case fmShareDenyNone: return platform::FileShareRead | platform::FileShareWrite;
    default: return platform::FileShareRead;
  }
}

platform::FileAccess Access(unsigned mode) {
  switch (mode & 0x0003) {
    case fmOpenWrite: return platform::FileAccess::Write;
    case fmOpenReadWrite: return platform::FileAccess::ReadWrite;
    default: return platform::FileAccess::Read;
  }
}

String FileErrorMessage(StringView prefix, StringView file_name) {
  return String(prefix) + u" \"" + String(file_name) + u"\". " +
         platform::SysErrorMessage(platform::GetLastOSError());
}

}  // namespace

TFileStream::TFileStream(StringView file_name, unsigned mode) : file_name_(file_name) {
  if (mode == fmCreate) {
    file_ = platform::File::Open(file_name, platform::FileAccess::ReadWrite,
                                 platform::FileShareRead, platform::FileCreation::CreateAlways);
    if (!file_.IsOpen()) throw EFCreateError(FileErrorMessage(u"Cannot create file", file_name));
    return;
  }
  file_ = platform::File::Open(file_name, Access(mode), ShareFlags(mode),
                               platform::FileCreation::OpenExisting);
  if (!file_.IsOpen()) throw EFOpenError(FileErrorMessage(u"Cannot open file", file_name));
}

TFileStream::TFileStream(StringView file_name, platform::File file)
    : file_name_(file_name), file_(std::move(file)) {}

std::unique_ptr<TFileStream> TFileStream::TryOpen(StringView file_name, platform::FileAccess access,
                                                  unsigned share, platform::FileCreation creation) {
  platform::File file = platform::File::Open(file_name, access, share, creation);
  if (!file.IsOpen()) return nullptr;
  return std::unique_ptr<TFileStream>(new TFileStream(file_name, std::move(file)));
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  if (count <= 0) return 0;
  size_t done = 0;
  if (!file_.Read(buffer, static_cast<size_t>(count), done)) return 0;
  return static_cast<int64_t>(done);
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  size_t done = 0;
  if (!file_.Write(buffer, static_cast<size_t>(count), done)) return 0;
  return static_cast<int64_t>(done);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  const platform::SeekOrigin platform_origin =
      origin == TSeekOrigin::soBeginning ? platform::SeekOrigin::Begin
      : origin == TSeekOrigin::soCurrent ? platform::SeekOrigin::Current
                                         : platform::SeekOrigin::End;
  int64_t position = 0;
  if (!file_.Seek(offset, platform_origin, position)) RaiseLastOSError(file_name_);
  return position;
}

int64_t TFileStream::Size() {
  int64_t size = 0;
  if (!file_.GetSize(size)) RaiseLastOSError(file_name_);
  return size;
}

void TFileStream::SetSize(int64_t size) {
  const int64_t position = Position();
  Seek(size, TSeekOrigin::soBeginning);
  if (!file_.Truncate()) RaiseLastOSError(file_name_);
  if (position < size) Seek(position, TSeekOrigin::soBeginning);
}

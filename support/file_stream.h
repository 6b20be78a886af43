// A stream over a file.
#pragma once

#include <memory>

#include "platform/file.h"
#include "support/stream.h"

// Open modes: one access mode combined with one sharing mode, or fmCreate (create or truncate,
// read and write, no sharing).
inline constexpr unsigned fmOpenRead = 0x0000;
inline constexpr unsigned fmOpenWrite = 0x0001;
inline constexpr unsigned fmOpenReadWrite = 0x0002;
inline constexpr unsigned fmShareExclusive = 0x0010;
inline constexpr unsigned fmShareDenyWrite = 0x0020;
inline constexpr unsigned fmShareDenyRead = 0x0030;
inline constexpr unsigned fmShareDenyNone = 0x0040;
inline constexpr unsigned fmCreate = 0xFF00;

// "Cannot open file "<name>". <system text>"
class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// "Cannot create file "<name>". <system text>"
class EFCreateError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

class TFileStream : public TStream {
 public:
  // Opens or creates the file, or raises EFOpenError / EFCreateError with the system's reason.
  TFileStream(StringView file_name, unsigned mode);
  // Opens or creates the file with exactly these rights and sharing; null, with the platform's
  // last error, when that fails. For callers that handle "in use" themselves.
  static std::unique_ptr<TFileStream> TryOpen(StringView file_name, platform::FileAccess access,
                                              unsigned share, platform::FileCreation creation);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override;
  void SetSize(int64_t size) override;

  const String& FileName() const { return file_name_; }

 private:
  TFileStream(StringView file_name, platform::File file);

  String file_name_;
  platform::File file_;
};

// The stream layer: a sequence of bytes with a position, read and written in blocks.
#pragma once

#include <cstdint>

#include "platform/exception.h"

class EStreamError : public Exception {
 public:
  using Exception::Exception;
};

// Fewer bytes than asked for were there to read.
class EReadError : public EStreamError {
 public:
  EReadError() : EStreamError(u"Stream read error") {}
};

class EWriteError : public EStreamError {
 public:
  EWriteError() : EStreamError(u"Stream write error") {}
};

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  virtual ~TStream() = default;

  // Reads up to Count bytes and returns how many were read (0 at the end).
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Writes up to Count bytes and returns how many were written.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Moves the position and returns the new one.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  virtual int64_t Size();
  virtual void SetSize(int64_t size) = 0;

  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }

  // Exactly Count bytes, or EReadError / EWriteError.
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);

  // Copies Count bytes from Source's position onwards; a Count of 0 copies the whole of Source
  // from its beginning. Returns the number of bytes copied.
  int64_t CopyFrom(TStream& source, int64_t count);
};

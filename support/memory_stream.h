// Streams over memory: one that owns a growable buffer, and a read-only view of bytes that
// belong to somebody else (a resource, a mapped package).
#pragma once

#include <cstdint>
#include <vector>

#include "support/stream.h"

// A stream whose bytes are all in memory at one address, so that readers (hashes, parsers) can
// work on the buffer directly instead of copying it out.
class TCustomMemoryStream : public TStream {
 public:
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return size_; }

  const uint8_t* Memory() const { return memory_; }

 protected:
  void SetPointer(const uint8_t* memory, int64_t size);

  const uint8_t* memory_ = nullptr;
  int64_t size_ = 0;
  int64_t position_ = 0;
};

// Read-only: writing or resizing raises EWriteError / EStreamError.
class TMemoryViewStream : public TCustomMemoryStream {
 public:
  TMemoryViewStream(const void* memory, int64_t size);

  int64_t Write(const void* buffer, int64_t count) override;
  void SetSize(int64_t size) override;
};

class TMemoryStream : public TCustomMemoryStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes);

  int64_t Write(const void* buffer, int64_t count) override;
  void SetSize(int64_t size) override;
  // Reserves room for Capacity bytes, so that writing up to that size never moves the bytes.
  void SetCapacity(int64_t capacity);

  using TCustomMemoryStream::Memory;
  uint8_t* Memory() { return bytes_.data(); }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  // Hands the bytes over and leaves the stream empty.
  std::vector<uint8_t> TakeBytes();
  void Clear();

  void LoadFromStream(TStream& source);
  void LoadFromFile(StringView file_name);
  void SaveToStream(TStream& destination);
  void SaveToFile(StringView file_name);

 private:
  void Sync();

  std::vector<uint8_t> bytes_;
};

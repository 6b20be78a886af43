// Streams over memory.
#include "support/memory_stream.h"

#include <algorithm>
#include <cstring>

#include "support/file_stream.h"

int64_t TCustomMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || position_ >= size_) return 0;
  const int64_t available = std::min(count, size_ - position_);
  std::memcpy(buffer, memory_ + position_, static_cast<size_t>(available));
  position_ += available;
  return available;
}

int64_t TCustomMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  switch (origin) {
    case TSeekOrigin::soBeginning: position_ = offset; break;
    case TSeekOrigin::soCurrent: position_ += offset; break;
    case TSeekOrigin::soEnd: position_ = size_ + offset; break;
  }
  if (position_ < 0) position_ = 0;
  return position_;
}

void TCustomMemoryStream::SetPointer(const uint8_t* memory, int64_t size) {
  memory_ = memory;
  size_ = size;
}

TMemoryViewStream::TMemoryViewStream(const void* memory, int64_t size) {
  SetPointer(static_cast<const uint8_t*>(memory), size);
}

int64_t TMemoryViewStream::Write(const void*, int64_t) {
  throw EWriteError();
}

void TMemoryViewStream::SetSize(int64_t) {
  throw EStreamError(u"A read-only memory stream cannot change its size");
}

TMemoryStream::TMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {
  Sync();
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const int64_t end = position_ + count;
  if (end > static_cast<int64_t>(bytes_.size())) bytes_.resize(static_cast<size_t>(end));
  std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  Sync();
  return count;
}

void TMemoryStream::SetSize(int64_t size) {
  bytes_.resize(static_cast<size_t>(std::max<int64_t>(size, 0)));
  Sync();
  if (position_ > size_) position_ = size_;
}

void TMemoryStream::SetCapacity(int64_t capacity) {
  if (capacity > 0) bytes_.reserve(static_cast<size_t>(capacity));
  Sync();
}

std::vector<uint8_t> TMemoryStream::TakeBytes() {
  std::vector<uint8_t> taken = std::move(bytes_);
  Clear();
  return taken;
}

void TMemoryStream::Clear() {
  bytes_.clear();
  position_ = 0;
  Sync();
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  const int64_t size = source.Size();
  bytes_.resize(static_cast<size_t>(size));
  Sync();
  source.ReadBuffer(bytes_.data(), size);
  position_ = 0;
}

void TMemoryStream::LoadFromFile(StringView file_name) {
  TFileStream file(file_name, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& destination) {
  destination.WriteBuffer(bytes_.data(), static_cast<int64_t>(bytes_.size()));
}

void TMemoryStream::SaveToFile(StringView file_name) {
  TFileStream file(file_name, fmCreate);
  SaveToStream(file);
}

void TMemoryStream::Sync() {
  SetPointer(bytes_.data(), static_cast<int64_t>(bytes_.size()));
}

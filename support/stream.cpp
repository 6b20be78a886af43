// The stream layer's shared operations.
#include "support/stream.h"

#include <algorithm>
#include <vector>

int64_t TStream::Size() {
  const int64_t position = Seek(0, TSeekOrigin::soCurrent);
  const int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(position, TSeekOrigin::soBeginning);
  return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count > 0 && Read(buffer, count) != count) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count > 0 && Write(buffer, count) != count) throw EWriteError();
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  constexpr int64_t BlockSize = 1 << 20;
  std::vector<char> block(static_cast<size_t>(std::min(count, BlockSize)));
  const int64_t total = count;
  while (count > 0) {
    const int64_t slice = std::min(count, BlockSize);
    source.ReadBuffer(block.data(), slice);
    WriteBuffer(block.data(), slice);
    count -= slice;
  }
  return total;
}

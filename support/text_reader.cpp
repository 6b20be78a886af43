// Reading text out of bytes.
#include "support/text_reader.h"

#include <algorithm>
#include <vector>

#include "support/memory_stream.h"

namespace {

struct ByteOrderMark {
  const char* Bytes;
  size_t Size;
  const TEncoding& (*Encoding)();
};

// UTF-8's mark is the only three-byte one; the two-byte marks are recognised in texts of just
// two bytes too, so that an empty UTF-16 text saved with its mark reads back empty.
const ByteOrderMark Marks[] = {
    {"\xEF\xBB\xBF", 3, &TEncoding::UTF8},
    {"\xFF\xFE", 2, &TEncoding::Unicode},
    {"\xFE\xFF", 2, &TEncoding::BigEndianUnicode},
};

String Decode(const uint8_t* bytes, size_t size, const TEncoding* default_encoding,
              const TEncoding** found_encoding) {
  const TEncoding* encoding = default_encoding != nullptr ? default_encoding : &TEncoding::ANSI();
  for (const ByteOrderMark& mark : Marks) {
    if (size >= mark.Size &&
        std::equal(bytes, bytes + mark.Size, reinterpret_cast<const uint8_t*>(mark.Bytes))) {
      encoding = &mark.Encoding();
      bytes += mark.Size;
      size -= mark.Size;
      break;
    }
  }
  if (found_encoding != nullptr) *found_encoding = encoding;
  String text;
  if (encoding->TryGetString(bytes, size, text)) return text;
  return TEncoding::ANSI().GetString(bytes, size);
}

}  // namespace

String ReadStreamText(TStream& stream, const TEncoding* default_encoding,
                      const TEncoding** found_encoding) {
  const int64_t position = stream.Position();
  const int64_t size = stream.Size() - position;
  if (size <= 0) return String();
  // Memory streams are decoded in place rather than copied out first.
  if (auto* memory = dynamic_cast<TCustomMemoryStream*>(&stream)) {
    stream.Seek(0, TSeekOrigin::soEnd);
    return Decode(memory->Memory() + position, static_cast<size_t>(size), default_encoding,
                  found_encoding);
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  stream.ReadBuffer(bytes.data(), size);
  return Decode(bytes.data(), bytes.size(), default_encoding, found_encoding);
}

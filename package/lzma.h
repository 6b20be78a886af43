// The glue between streams and the LZMA coder (liblzma, raw LZMA1): decoding and encoding with a
// preprocessor that transforms each block in place (the package cipher).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/exception.h"
#include "support/stream.h"

// A coder failure: "LZMA Error (<status>)".
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

// Status numbers of the coder as they appear in "LZMA Error (%d)".
enum TLzmaStatus : int {
  lsOk = 0,
  lsDataError = 1,
  lsOutOfMemory = 2,
  lsUnsupportedProperties = 4,
  lsBadParameter = 5,
  lsReadFailed = 8,
  lsWriteFailed = 9,
  lsFailed = 11,
};

// Transforms Count bytes of Buffer in place.
using TPreprocessor = std::function<void(uint8_t* buffer, size_t count)>;

// What the coder reads from and writes to, each side with its optional preprocessor.
struct TLZMAStreams {
  TPreprocessor DestPreprocessor;
  TStream* DestStream = nullptr;
  TPreprocessor SourcePreprocessor;
  TStream* SourceStream = nullptr;
};

// The 5 properties bytes that open every stream: (pb * 5 + lp) * 9 + lc, then the dictionary
// size, little-endian.
inline constexpr size_t LzmaPropertiesSize = 5;

// Decodes Source (5 properties bytes, then the range-coded data) into Dest until UnpackedSize
// bytes have come out, running Preprocessor over every block right after it is read. Whatever
// follows in Source is not looked at. A data error or a source that ends early is not raised:
// Dest is then simply shorter than UnpackedSize, which the caller checks.
void LzmaDecode(TStream& source, TStream& dest, uint64_t unpacked_size,
                const TPreprocessor& preprocessor);

// Encodes Source from its position to its end into Dest at Level (0 to 9): the properties
// bytes, then the data, with no end marker (the reader knows the size). Preprocessor runs over
// every output block, the properties bytes included, just before the block is written.
void LzmaEncode(TStream& source, TStream& dest, int level, const TPreprocessor& preprocessor);

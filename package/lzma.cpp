// LZMA decoding and encoding through liblzma's raw LZMA1 coder.
#include "package/lzma.h"

#include <lzma.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr size_t BlockSize = 64 * 1024;
constexpr uint32_t MinimumDictionarySize = 4096;

// The most output one byte of LZMA data can produce: a repeated match of the longest length
// (273 bytes) costs a little over a quarter of a bit once the coder's probabilities have
// settled, which puts the limit near 8,000 bytes; twice that leaves room for rounding.
constexpr uint64_t MaxExpansion = 16384;

[[noreturn]] void RaiseLzmaError(int status) {
  throw EInvalidOperation(u"LZMA Error (" + Utf8ToString(std::to_string(status)) + u")");
}

int StatusOf(lzma_ret result) {
  switch (result) {
    case LZMA_OK:
    case LZMA_STREAM_END: return lsOk;
    case LZMA_MEM_ERROR:
    case LZMA_MEMLIMIT_ERROR: return lsOutOfMemory;
    case LZMA_OPTIONS_ERROR: return lsUnsupportedProperties;
    case LZMA_DATA_ERROR:
    case LZMA_BUF_ERROR: return lsDataError;
    case LZMA_PROG_ERROR: return lsBadParameter;
    default: return lsFailed;
  }
}

// Owns a liblzma stream and the options memory that lzma_properties_decode allocates.
class LzmaStream {
 public:
  LzmaStream() = default;
  LzmaStream(const LzmaStream&) = delete;
  LzmaStream& operator=(const LzmaStream&) = delete;
  ~LzmaStream() { lzma_end(&stream_); }

  lzma_stream& Get() { return stream_; }

 private:
  lzma_stream stream_ = LZMA_STREAM_INIT;
};

struct OptionsDeleter {
  void operator()(void* options) const { free(options); }
};

// Reads into a block, up to its size, and lets the preprocessor see what came.
size_t ReadBlock(TLZMAStreams& streams, uint8_t* block, size_t size) {
  const int64_t read = streams.SourceStream->Read(block, static_cast<int64_t>(size));
  const size_t count = read > 0 ? static_cast<size_t>(read) : 0;
  if (count > 0 && streams.SourcePreprocessor) streams.SourcePreprocessor(block, count);
  return count;
}

void WriteBlock(TLZMAStreams& streams, uint8_t* block, size_t size) {
  if (size == 0) return;
  if (streams.DestPreprocessor) streams.DestPreprocessor(block, size);
  if (streams.DestStream->Write(block, static_cast<int64_t>(size)) != static_cast<int64_t>(size)) {
    RaiseLzmaError(lsWriteFailed);
  }
}

void Decode(TLZMAStreams& streams, uint64_t unpacked_size) {
  std::vector<uint8_t> input(BlockSize);
  size_t available = ReadBlock(streams, input.data(), input.size());
  if (available < LzmaPropertiesSize) return;  // nothing decodable: the caller sees no output

  lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
  const lzma_ret properties =
      lzma_properties_decode(&filters[0], nullptr, input.data(), LzmaPropertiesSize);
  std::unique_ptr<void, OptionsDeleter> options_owner(filters[0].options);
  if (properties != LZMA_OK) RaiseLzmaError(StatusOf(properties));

  // Matches never reach back further than the output so far, so a dictionary larger than the
  // whole output is never used, and the output cannot outgrow what the source can expand to.
  // Capping the dictionary by both keeps forged properties or sizes from allocating gigabytes.
  auto* options = static_cast<lzma_options_lzma*>(filters[0].options);
  const int64_t source_left = streams.SourceStream->Size() - streams.SourceStream->Position();
  const uint64_t possible_output =
      (static_cast<uint64_t>(std::max<int64_t>(source_left, 0)) + available) * MaxExpansion;
  const uint64_t useful =
      std::max<uint64_t>(std::min(unpacked_size, possible_output), MinimumDictionarySize);
  options->dict_size = static_cast<uint32_t>(std::min<uint64_t>(options->dict_size, useful));
  options->dict_size = std::max(options->dict_size, MinimumDictionarySize);

  LzmaStream coder;
  lzma_stream& stream = coder.Get();
  const lzma_ret started = lzma_raw_decoder(&stream, filters);
  if (started != LZMA_OK) RaiseLzmaError(StatusOf(started));

  std::vector<uint8_t> output(BlockSize);
  stream.next_in = input.data() + LzmaPropertiesSize;
  stream.avail_in = available - LzmaPropertiesSize;
  uint64_t remaining = unpacked_size;
  bool source_ended = false;
  while (remaining > 0) {
    if (stream.avail_in == 0 && !source_ended) {
      available = ReadBlock(streams, input.data(), input.size());
      source_ended = available == 0;
      stream.next_in = input.data();
      stream.avail_in = available;
    }
    const auto offered = static_cast<size_t>(std::min<uint64_t>(output.size(), remaining));
    stream.next_out = output.data();
    stream.avail_out = offered;
    const lzma_ret result = lzma_code(&stream, source_ended ? LZMA_FINISH : LZMA_RUN);
    const size_t produced = offered - stream.avail_out;
    WriteBlock(streams, output.data(), produced);
    remaining -= produced;
    if (result == LZMA_OK) {
      // Without progress on an exhausted source the data is simply too short.
      if (source_ended && produced == 0) return;
      continue;
    }
    if (result == LZMA_STREAM_END || result == LZMA_DATA_ERROR || result == LZMA_BUF_ERROR) {
      return;  // the size or checksum check of the caller reports a short or damaged payload
    }
    RaiseLzmaError(StatusOf(result));
  }
}

void Encode(TLZMAStreams& streams, int level) {
  lzma_options_lzma options;
  if (lzma_lzma_preset(&options, static_cast<uint32_t>(std::clamp(level, 0, 9)))) {
    RaiseLzmaError(lsBadParameter);
  }
  // The extended LZMA1 filter lets the encoder leave out the end marker; the reader stops at
  // the size the header gives.
  options.ext_flags = 0;
  options.ext_size_low = UINT32_MAX;
  options.ext_size_high = UINT32_MAX;
  lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, &options}, {LZMA_VLI_UNKNOWN, nullptr}};

  uint8_t properties[LzmaPropertiesSize];
  lzma_filter plain[2] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
  if (lzma_properties_encode(&plain[0], properties) != LZMA_OK) RaiseLzmaError(lsBadParameter);
  WriteBlock(streams, properties, sizeof properties);

  LzmaStream coder;
  lzma_stream& stream = coder.Get();
  const lzma_ret started = lzma_raw_encoder(&stream, filters);
  if (started != LZMA_OK) RaiseLzmaError(StatusOf(started));

  std::vector<uint8_t> input(BlockSize);
  std::vector<uint8_t> output(BlockSize);
  bool source_ended = false;
  for (;;) {
    if (stream.avail_in == 0 && !source_ended) {
      int64_t read = 0;
      try {
        read = streams.SourceStream->Read(input.data(), static_cast<int64_t>(input.size()));
      } catch (const EStreamError&) {
        RaiseLzmaError(lsReadFailed);
      }
      source_ended = read <= 0;
      stream.next_in = input.data();
      stream.avail_in = read > 0 ? static_cast<size_t>(read) : 0;
    }
    stream.next_out = output.data();
    stream.avail_out = output.size();
    const lzma_ret result = lzma_code(&stream, source_ended ? LZMA_FINISH : LZMA_RUN);
    WriteBlock(streams, output.data(), output.size() - stream.avail_out);
    if (result == LZMA_STREAM_END) return;
    if (result != LZMA_OK) RaiseLzmaError(StatusOf(result));
  }
}

}  // namespace

void LzmaDecode(TStream& source, TStream& dest, uint64_t unpacked_size,
                const TPreprocessor& preprocessor) {
  TLZMAStreams streams;
  streams.SourceStream = &source;
  streams.SourcePreprocessor = preprocessor;
  streams.DestStream = &dest;
  Decode(streams, unpacked_size);
}

void LzmaEncode(TStream& source, TStream& dest, int level, const TPreprocessor& preprocessor) {
  TLZMAStreams streams;
  streams.SourceStream = &source;
  streams.DestStream = &dest;
  streams.DestPreprocessor = preprocessor;
  Encode(streams, level);
}

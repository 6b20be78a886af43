// The hash family.
#include "support/hashes.h"

#include <algorithm>
#include <cstring>

#include "platform/exception.h"
#include "support/encoding.h"
#include "support/file_stream.h"
#include "support/memory_stream.h"

// ----- shared operations ---------------------------------------------------------------------

void TVYNHash::Reset(THashState& state) const {
  Finalize(state);
  Initialize(state);
}

THashValue TVYNHash::Calculate(StringView text) const {
  THashState state;
  Initialize(state);
  // char16_t is stored low byte first on every platform we build for, which is the order the
  // hash is defined over.
  Update(state, text.data(), text.size() * sizeof(char16_t));
  return Finalize(state);
}

THashValue TVYNHash::Calculate(StringView text, const TEncoding& encoding) const {
  THashState state;
  Initialize(state);
  UpdateBytes(state, encoding.GetBytes(text));
  return Finalize(state);
}

void TVYNHash::UpdateBytes(THashState& state, const std::vector<uint8_t>& bytes) const {
  Update(state, bytes.data(), bytes.size());
}

void TVYNHash::UpdateStream(THashState& state, TStream& stream,
                            const THashProgress& progress) const {
  if (auto* memory = dynamic_cast<TCustomMemoryStream*>(&stream)) {
    const int64_t position = memory->Position();
    const int64_t size = memory->Size();
    if (position < size) {
      Update(state, memory->Memory() + position, static_cast<size_t>(size - position));
      memory->SetPosition(size);
    }
    return;
  }
  // Progress is reported every 256 bytes; the bytes themselves are read in larger slices so
  // that hashing a file does not cost a system call per 256 bytes.
  constexpr int64_t ProgressBlock = 256;
  constexpr int64_t ReadSlice = ProgressBlock * 256;
  const int64_t size = stream.Size();
  int64_t position = stream.Position();
  std::vector<uint8_t> buffer(ReadSlice);
  while (position < size) {
    const int64_t wanted = std::min(ReadSlice, size - position);
    const int64_t got = stream.Read(buffer.data(), wanted);
    if (got <= 0) break;
    for (int64_t offset = 0; offset < got; offset += ProgressBlock) {
      const int64_t block = std::min(ProgressBlock, got - offset);
      Update(state, buffer.data() + offset, static_cast<size_t>(block));
      if (progress) progress(position + offset + block, size);
    }
    position += got;
  }
}

void TVYNHash::UpdateFile(THashState& state, StringView file_name) const {
  TFileStream file(file_name, fmOpenRead | fmShareDenyNone);
  UpdateStream(state, file);
}

// ----- 32-bit hashes -------------------------------------------------------------------------

namespace {

template <class Record>
Record& StateOf(THashState& state) {
  auto* record = dynamic_cast<Record*>(state.get());
  if (record == nullptr) throw Exception(u"Hash state was not initialized for this algorithm");
  return *record;
}

}  // namespace

THashValue TVYNHash32Bit::Finalize(THashState& state) const {
  const uint32_t value = StateOf<TState>(state).Value;
  state.reset();
  return static_cast<int32_t>(value);
}

void TVYNHash32Bit::Initialize(THashState& state) const {
  state = std::make_unique<TState>();
}

namespace {

constexpr uint32_t Rotate(uint32_t x, int k) {
  return (x << k) | (x >> (32 - k));
}

constexpr void Mix(uint32_t& a, uint32_t& b, uint32_t& c) {
  a -= c, a ^= Rotate(c, 4), c += b;
  b -= a, b ^= Rotate(a, 6), a += c;
  c -= b, c ^= Rotate(b, 8), b += a;
  a -= c, a ^= Rotate(c, 16), c += b;
  b -= a, b ^= Rotate(a, 19), a += c;
  c -= b, c ^= Rotate(b, 4), b += a;
}

constexpr void Final(uint32_t& a, uint32_t& b, uint32_t& c) {
  c ^= b, c -= Rotate(b, 14);
  a ^= c, a -= Rotate(c, 11);
  b ^= a, b -= Rotate(a, 25);
  c ^= b, c -= Rotate(b, 16);
  a ^= c, a -= Rotate(c, 4);
  b ^= a, b -= Rotate(a, 14);
  c ^= b, c -= Rotate(b, 24);
}

uint32_t LoadLittleEndian(const uint8_t* bytes, size_t count) {
  uint32_t value = 0;
  for (size_t i = 0; i < count; ++i) value |= uint32_t(bytes[i]) << (8 * i);
  return value;
}

}  // namespace

uint32_t TVYNHashBobJenkins::HashBuffer(const void* data, size_t size, uint32_t seed) {
  const auto* key = static_cast<const uint8_t*>(data);
  uint32_t a = 0xDEADBEEF + static_cast<uint32_t>(size) + seed;
  uint32_t b = a;
  uint32_t c = a;
  while (size > 12) {
    a += LoadLittleEndian(key, 4);
    b += LoadLittleEndian(key + 4, 4);
    c += LoadLittleEndian(key + 8, 4);
    Mix(a, b, c);
    size -= 12;
    key += 12;
  }
  if (size == 0) return c;
  // The last block of 1 to 12 bytes is added as if padded with zeros.
  a += LoadLittleEndian(key, std::min<size_t>(size, 4));
  if (size > 4) b += LoadLittleEndian(key + 4, std::min<size_t>(size - 4, 4));
  if (size > 8) c += LoadLittleEndian(key + 8, size - 8);
  Final(a, b, c);
  return c;
}

void TVYNHashBobJenkins::Update(THashState& state, const void* data, size_t size) const {
  TState& record = StateOf<TState>(state);
  record.Value = HashBuffer(data, size, record.Value);
}

// ----- CRC32 ---------------------------------------------------------------------------------

namespace {

constexpr uint32_t Crc32Polynomial = 0x04C11DB7;

// Slicing by 16: Tables[k][n] is the remainder contributed by byte n followed by k zero bytes,
// so 16 input bytes are folded in with 16 independent lookups instead of a chain of 16.
using SlicingTables = std::array<TCRC32Table, 16>;

constexpr SlicingTables MakeSlicingTables() {
  SlicingTables tables{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t remainder = n << 24;
    for (int bit = 0; bit < 8; ++bit) {
      remainder = (remainder & 0x80000000u) ? (remainder << 1) ^ Crc32Polynomial : remainder << 1;
    }
    tables[0][n] = remainder;
  }
  for (size_t k = 1; k < tables.size(); ++k) {
    for (uint32_t n = 0; n < 256; ++n) {
      const uint32_t previous = tables[k - 1][n];
      tables[k][n] = (previous << 8) ^ tables[0][previous >> 24];
    }
  }
  return tables;
}

constexpr SlicingTables Crc32Tables = MakeSlicingTables();

uint32_t LoadBigEndian(const uint8_t* bytes) {
  return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

uint32_t UpdateWithTable(uint32_t value, const TCRC32Table& table, const uint8_t* bytes,
                         size_t size) {
  for (size_t i = 0; i < size; ++i) value = (value << 8) ^ table[(value >> 24) ^ bytes[i]];
  return value;
}

uint32_t UpdateSliced(uint32_t value, const uint8_t* bytes, size_t size) {
  const auto& t = Crc32Tables;
  while (size >= 16) {
    const uint32_t head = value ^ LoadBigEndian(bytes);
    value = t[15][head >> 24] ^ t[14][(head >> 16) & 0xFF] ^ t[13][(head >> 8) & 0xFF] ^
            t[12][head & 0xFF] ^ t[11][bytes[4]] ^ t[10][bytes[5]] ^ t[9][bytes[6]] ^
            t[8][bytes[7]] ^ t[7][bytes[8]] ^ t[6][bytes[9]] ^ t[5][bytes[10]] ^ t[4][bytes[11]] ^
            t[3][bytes[12]] ^ t[2][bytes[13]] ^ t[1][bytes[14]] ^ t[0][bytes[15]];
    bytes += 16;
    size -= 16;
  }
  return UpdateWithTable(value, t[0], bytes, size);
}

}  // namespace

const TCRC32Table& TVYNHashCRC32::BuiltInTable() {
  return Crc32Tables[0];
}

uint32_t TVYNHashCRC32::Checksum(const void* data, size_t size) {
  return UpdateSliced(0, static_cast<const uint8_t*>(data), size);
}

THashValue TVYNHashCRC32::Finalize(THashState& state) const {
  const uint32_t value = StateOf<TState>(state).Value;
  state.reset();
  return static_cast<int32_t>(value);
}

void TVYNHashCRC32::Initialize(THashState& state) const {
  Initialize(state, 0, nullptr);
}

void TVYNHashCRC32::Initialize(THashState& state, uint32_t initial_value,
                               const TCRC32Table* table) const {
  auto record = std::make_unique<TState>();
  record->Value = initial_value;
  record->Table = table != nullptr ? table : &BuiltInTable();
  state = std::move(record);
}

void TVYNHashCRC32::Update(THashState& state, const void* data, size_t size) const {
  TState& record = StateOf<TState>(state);
  const auto* bytes = static_cast<const uint8_t*>(data);
  record.Value = record.Table == &BuiltInTable()
                     ? UpdateSliced(record.Value, bytes, size)
                     : UpdateWithTable(record.Value, *record.Table, bytes, size);
}

// ----- platform hashes -----------------------------------------------------------------------

THashValue TVYNHashCryptoApiBased::Finalize(THashState& state) const {
  TState& record = StateOf<TState>(state);
  const std::vector<uint8_t> digest = record.Hash->Finish();
  state.reset();
  static constexpr char16_t Digits[] = u"0123456789abcdef";
  String text;
  for (const uint8_t byte : digest) {
    text.push_back(Digits[byte >> 4]);
    text.push_back(Digits[byte & 0x0F]);
  }
  return text;
}

void TVYNHashCryptoApiBased::Initialize(THashState& state) const {
  auto record = std::make_unique<TState>();
  record->Hash =
      std::make_unique<platform::CryptoHash>(platform::CryptoProviderRsaFull, AlgorithmId());
  state = std::move(record);
}

void TVYNHashCryptoApiBased::Update(THashState& state, const void* data, size_t size) const {
  StateOf<TState>(state).Hash->Update(data, size);
}

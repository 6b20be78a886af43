// A family of hash algorithms over a state that the caller keeps: CRC32 (which guards the setup
// packages), Bob Jenkins' hash and MD5 from the platform's cryptographic service.
//
// The algorithms are stateless classes: every member works on a THashState the caller holds
// from Initialize to Finalize, so one algorithm object serves any number of threads at once,
// and a default-constructed temporary (`TVYNHashCRC32().Calculate(...)`) is all a caller needs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <variant>
#include <vector>

#include "platform/crypto_hash.h"
#include "platform/text.h"

class TEncoding;
class TStream;

// What an algorithm keeps between calls; each algorithm derives its own record.
struct THashStateRecord {
  virtual ~THashStateRecord() = default;
};
using THashState = std::unique_ptr<THashStateRecord>;

// The 32-bit hashes give their 32 bits unchanged as a signed integer; the platform hashes give
// their digest as lower-case hexadecimal text.
using THashValue = std::variant<int32_t, String>;

// Told the new position and the size taken at the start, after each block of a stream.
using THashProgress = std::function<void(int64_t position, int64_t size)>;

class TVYNHash {
 public:
  virtual ~TVYNHash() = default;

  // Returns the value and releases the state (it is empty afterwards).
  virtual THashValue Finalize(THashState& state) const = 0;
  virtual void Initialize(THashState& state) const = 0;
  // Finalize with the value dropped, then Initialize.
  virtual void Reset(THashState& state) const;
  virtual void Update(THashState& state, const void* data, size_t size) const = 0;

  // The hash of a text's UTF-16 code units in memory order, low byte first.
  THashValue Calculate(StringView text) const;
  // The hash of the bytes the encoding produces for the text.
  THashValue Calculate(StringView text, const TEncoding& encoding) const;

  void UpdateBytes(THashState& state, const std::vector<uint8_t>& bytes) const;
  // Hashes from the stream's position to its end. A memory stream is hashed in one Update over
  // its buffer, without a copy or a progress call; any other stream in blocks of 256 bytes, each
  // followed by a progress call.
  void UpdateStream(THashState& state, TStream& stream, const THashProgress& progress = {}) const;
  // Opens the file for reading, sharing it with writers, and hashes it as a stream.
  void UpdateFile(THashState& state, StringView file_name) const;
};

// Holds the running value itself, starting at 0.
class TVYNHash32Bit : public TVYNHash {
 public:
  struct TState : THashStateRecord {
    uint32_t Value = 0;
  };

  THashValue Finalize(THashState& state) const override;
  void Initialize(THashState& state) const override;
};

// Bob Jenkins' hash of each buffer, seeded with the value so far.
class TVYNHashBobJenkins : public TVYNHash32Bit {
 public:
  void Update(THashState& state, const void* data, size_t size) const override;

  // The hash of one buffer with a seed (the function known as lookup3's "hashlittle").
  static uint32_t HashBuffer(const void* data, size_t size, uint32_t seed);
};

using TCRC32Table = std::array<uint32_t, 256>;

// CRC32 with polynomial 0x04C11DB7, initial value 0, bits most significant first, no reflection
// and no final XOR: "123456789" gives 0x89A1897F.
class TVYNHashCRC32 : public TVYNHash {
 public:
  struct TState : THashStateRecord {
    uint32_t Value = 0;
    const TCRC32Table* Table = nullptr;
  };

  THashValue Finalize(THashState& state) const override;
  // InitialValue 0 with the built-in table.
  void Initialize(THashState& state) const override;
  // A table other than the built-in one is used one byte at a time, as given.
  void Initialize(THashState& state, uint32_t initial_value, const TCRC32Table* table) const;
  void Update(THashState& state, const void* data, size_t size) const override;

  // Entry n is the remainder of n shl 24 after eight shift-and-conditional-XOR steps.
  static const TCRC32Table& BuiltInTable();
  // The CRC32 of one buffer, as the unsigned 32 bits that containers store.
  static uint32_t Checksum(const void* data, size_t size);
};

// Hashes of the platform's cryptographic service (provider type 1, verify-context mode).
class TVYNHashCryptoApiBased : public TVYNHash {
 public:
  struct TState : THashStateRecord {
    std::unique_ptr<platform::CryptoHash> Hash;
  };

  THashValue Finalize(THashState& state) const override;
  void Initialize(THashState& state) const override;
  void Update(THashState& state, const void* data, size_t size) const override;

 protected:
  virtual unsigned AlgorithmId() const = 0;
};

class TVYNHashMD5 : public TVYNHashCryptoApiBased {
 protected:
  unsigned AlgorithmId() const override { return platform::CryptoAlgorithmMd5; }
};

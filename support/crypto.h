// RC4, the stream cipher of the setup packages, and the packages' key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct TRC4State {
  uint8_t S[256];
  // Only the low 8 bits of I and J are ever significant.
  int32_t I;
  int32_t J;
};

// RC4 with no keystream bytes discarded. Enciphering a stream in consecutive pieces of any size
// with one state gives exactly the output of one call over the whole stream.
class TRC4 {
 public:
  // Keys the state; an empty key keys it as if with one zero byte.
  static void Initialize(TRC4State& state, const std::vector<uint8_t>& key);
  // XORs Count bytes of Source with the next Count keystream bytes into Dest, which may be
  // Source itself. A Count of zero or less does nothing.
  static void Crypt(TRC4State& state, const void* source, void* dest, int64_t count);
};

// The seed of the key shared by the package reader and the builder of the uninstall package.
inline constexpr uint32_t PackageKeySeed = 0x5EC7A11D;

// The 4-byte package key: the seed's bytes, least significant first.
std::vector<uint8_t> MakePackageKey(uint32_t seed = PackageKeySeed);

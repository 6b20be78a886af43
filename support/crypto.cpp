// RC4 and the package key.
#include "support/crypto.h"

#include <utility>

void TRC4::Initialize(TRC4State& state, const std::vector<uint8_t>& key) {
  static const uint8_t ZeroKey[] = {0};
  const uint8_t* key_bytes = key.empty() ? ZeroKey : key.data();
  const size_t key_length = key.empty() ? 1 : key.size();
  state.I = 0;
  state.J = 0;
  for (int n = 0; n < 256; ++n) state.S[n] = static_cast<uint8_t>(n);
  uint8_t j = 0;
  for (int n = 0; n < 256; ++n) {
    j = static_cast<uint8_t>(j + state.S[n] + key_bytes[n % key_length]);
    std::swap(state.S[n], state.S[j]);
  }
}

void TRC4::Crypt(TRC4State& state, const void* source, void* dest, int64_t count) {
  if (count <= 0) return;
  const auto* in = static_cast<const uint8_t*>(source);
  auto* out = static_cast<uint8_t*>(dest);
  uint8_t* s = state.S;
  // Working on local 8-bit copies keeps the indices in registers and wraps them for free.
  uint8_t i = static_cast<uint8_t>(state.I);
  uint8_t j = static_cast<uint8_t>(state.J);
  for (int64_t n = 0; n < count; ++n) {
    i = static_cast<uint8_t>(i + 1);
    const uint8_t si = s[i];
    j = static_cast<uint8_t>(j + si);
    const uint8_t sj = s[j];
    s[i] = sj;
    s[j] = si;
    out[n] = in[n] ^ s[static_cast<uint8_t>(si + sj)];
  }
  state.I = i;
  state.J = j;
}

std::vector<uint8_t> MakePackageKey(uint32_t seed) {
  return {static_cast<uint8_t>(seed), static_cast<uint8_t>(seed >> 8),
          static_cast<uint8_t>(seed >> 16), static_cast<uint8_t>(seed >> 24)};
}

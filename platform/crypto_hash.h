// A hash computed by the platform's cryptographic service.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// Provider and algorithm identifiers, with the values of the Windows CryptoAPI.
inline constexpr unsigned CryptoProviderRsaFull = 1;
inline constexpr unsigned CryptoAlgorithmMd5 = 32771;
// SHA-256 needs the AES provider; the full RSA provider offers MD5 and SHA-1 only.
inline constexpr unsigned CryptoProviderRsaAes = 24;
inline constexpr unsigned CryptoAlgorithmSha1 = 32772;
inline constexpr unsigned CryptoAlgorithmSha256 = 32780;

// One running hash. Every failing platform call raises EOSError; the host double offers the
// algorithms above (through nettle), each only from the providers that offer it, and refuses
// others with the error CryptoAPI gives for them.
class CryptoHash {
 public:
  CryptoHash(unsigned provider_type, unsigned algorithm);
  ~CryptoHash();
  CryptoHash(const CryptoHash&) = delete;
  CryptoHash& operator=(const CryptoHash&) = delete;

  void Update(const void* data, size_t size);
  // The digest; the hash cannot take more data afterwards.
  std::vector<uint8_t> Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace platform

// CryptoHash in the host double: MD5, SHA-1 and SHA-256 from nettle.
#include <nettle/nettle-meta.h>

#include "platform/crypto_hash.h"
#include "platform/exception.h"

namespace platform {

namespace {
// NTE_BAD_ALGID and NTE_BAD_PROV_TYPE, as CryptoAPI reports them.
constexpr uint32_t ErrorBadAlgorithm = 0x80090008;
constexpr uint32_t ErrorBadProviderType = 0x80090014;

// The algorithm as the provider offers it, or null when it does not: the full RSA provider
// knows no SHA-256, so code that asks it for one fails here as it would on Windows.
const nettle_hash* AlgorithmOf(unsigned provider_type, unsigned algorithm) {
  switch (algorithm) {
    case CryptoAlgorithmMd5: return &nettle_md5;
    case CryptoAlgorithmSha1: return &nettle_sha1;
    case CryptoAlgorithmSha256:
      return provider_type == CryptoProviderRsaAes ? &nettle_sha256 : nullptr;
    default: return nullptr;
  }
}
}  // namespace

struct CryptoHash::State {
  const nettle_hash* Algorithm = nullptr;
  // nettle's context for the algorithm; operator new aligns it for any of them.
  std::unique_ptr<uint8_t[]> Context;
};

CryptoHash::CryptoHash(unsigned provider_type, unsigned algorithm) {
  if (provider_type != CryptoProviderRsaFull && provider_type != CryptoProviderRsaAes) {
    RaiseOSError(ErrorBadProviderType);
  }
  const nettle_hash* hash = AlgorithmOf(provider_type, algorithm);
  if (hash == nullptr) RaiseOSError(ErrorBadAlgorithm);
  state_ = std::make_unique<State>();
  state_->Algorithm = hash;
  state_->Context = std::make_unique<uint8_t[]>(hash->context_size);
  hash->init(state_->Context.get());
}

CryptoHash::~CryptoHash() = default;

void CryptoHash::Update(const void* data, size_t size) {
  state_->Algorithm->update(state_->Context.get(), size, static_cast<const uint8_t*>(data));
}

std::vector<uint8_t> CryptoHash::Finish() {
  std::vector<uint8_t> digest(state_->Algorithm->digest_size);
  state_->Algorithm->digest(state_->Context.get(), digest.size(), digest.data());
  return digest;
}

}  // namespace platform

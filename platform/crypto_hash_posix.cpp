// CryptoHash in the host double: MD5 from nettle.
#include <nettle/md5.h>

#include "platform/crypto_hash.h"
#include "platform/exception.h"

namespace platform {

namespace {
// NTE_BAD_ALGID and NTE_BAD_PROV_TYPE, as CryptoAPI reports them.
constexpr uint32_t ErrorBadAlgorithm = 0x80090008;
constexpr uint32_t ErrorBadProviderType = 0x80090014;
}  // namespace

struct CryptoHash::State {
  md5_ctx Context;
};

CryptoHash::CryptoHash(unsigned provider_type, unsigned algorithm) {
  if (provider_type != CryptoProviderRsaFull) RaiseOSError(ErrorBadProviderType);
  if (algorithm != CryptoAlgorithmMd5) RaiseOSError(ErrorBadAlgorithm);
  state_ = std::make_unique<State>();
  md5_init(&state_->Context);
}

CryptoHash::~CryptoHash() = default;

void CryptoHash::Update(const void* data, size_t size) {
  md5_update(&state_->Context, size, static_cast<const uint8_t*>(data));
}

std::vector<uint8_t> CryptoHash::Finish() {
  std::vector<uint8_t> digest(MD5_DIGEST_SIZE);
  md5_digest(&state_->Context, digest.size(), digest.data());
  return digest;
}

}  // namespace platform

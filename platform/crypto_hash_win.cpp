// CryptoHash on the Windows CryptoAPI.
#include <windows.h>
// wincrypt.h builds on the types of windows.h.
#include <wincrypt.h>

#include "platform/crypto_hash.h"
#include "platform/exception.h"
#include "platform/handle_traits_win.h"

namespace platform {

// Declared in this order so that the hash is destroyed before its provider is released.
struct CryptoHash::State {
  ScopedCryptoProvider Provider;
  ScopedCryptoHash Hash;
};

CryptoHash::CryptoHash(unsigned provider_type, unsigned algorithm)
    : state_(std::make_unique<State>()) {
  if (!::CryptAcquireContextW(state_->Provider.Receive(), nullptr, nullptr, provider_type,
                              CRYPT_VERIFYCONTEXT)) {
    RaiseLastOSError();
  }
  if (!::CryptCreateHash(state_->Provider.Get(), algorithm, 0, 0, state_->Hash.Receive())) {
    RaiseLastOSError();
  }
}

CryptoHash::~CryptoHash() = default;

void CryptoHash::Update(const void* data, size_t size) {
  const auto* bytes = static_cast<const BYTE*>(data);
  while (size > 0) {
    const DWORD slice = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    if (!::CryptHashData(state_->Hash.Get(), bytes, slice, 0)) RaiseLastOSError();
    bytes += slice;
    size -= slice;
  }
}

std::vector<uint8_t> CryptoHash::Finish() {
  DWORD hash_size = 0;
  DWORD field_size = sizeof(hash_size);
  if (!::CryptGetHashParam(state_->Hash.Get(), HP_HASHSIZE, reinterpret_cast<BYTE*>(&hash_size),
                           &field_size, 0)) {
    RaiseLastOSError();
  }
  std::vector<uint8_t> digest(hash_size);
  if (!::CryptGetHashParam(state_->Hash.Get(), HP_HASHVAL, digest.data(), &hash_size, 0)) {
    RaiseLastOSError();
  }
  digest.resize(hash_size);
  return digest;
}

}  // namespace platform

// A machine-wide lock by name: what does not depend on the system.
#include "platform/named_mutex.h"

#include <utility>

namespace platform {

NamedMutex::NamedMutex(NamedMutex&& other) noexcept
    : handle_(std::exchange(other.handle_, InvalidHandle)) {}

NamedMutex& NamedMutex::operator=(NamedMutex&& other) noexcept {
  if (this != &other) {
    Release();
    handle_ = std::exchange(other.handle_, InvalidHandle);
  }
  return *this;
}

NamedMutex::~NamedMutex() {
  Release();
}

}  // namespace platform

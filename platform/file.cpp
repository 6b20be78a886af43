// The portable part of File: ownership transfer.
#include "platform/file.h"

#include <utility>

namespace platform {

File::File(File&& other) noexcept : handle_(std::exchange(other.handle_, InvalidHandle)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, InvalidHandle);
  }
  return *this;
}

File::~File() {
  Close();
}

}  // namespace platform

// One move-only owner for every kind of Windows handle, told apart by a traits class
// (Windows builds only).
#pragma once

#include <windows.h>

#include <utility>

namespace platform {

// Traits: `Handle`, `Invalid()`, `IsValid(h)` and `Close(h)`. Closing keeps the thread's last
// error, so a destructor that runs while an error is being reported does not replace it.
template <class Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() { Reset(); }

  Handle Get() const { return handle_; }
  bool IsValid() const { return Traits::IsValid(handle_); }
  explicit operator bool() const { return IsValid(); }

  Handle Release() { return std::exchange(handle_, Traits::Invalid()); }

  void Reset(Handle handle = Traits::Invalid()) {
    if (Traits::IsValid(handle_)) {
      const DWORD saved_error = ::GetLastError();
      Traits::Close(handle_);
      ::SetLastError(saved_error);
    }
    handle_ = handle;
  }

  // For APIs that return a handle through an out parameter.
  Handle* Receive() {
    Reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

}  // namespace platform

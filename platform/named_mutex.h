// A machine-wide lock by name: one holder at a time, across processes.
#pragma once

#include <cstdint>

#include "platform/text.h"

namespace platform {

class NamedMutex {
 public:
  NamedMutex() = default;
  NamedMutex(NamedMutex&& other) noexcept;
  NamedMutex& operator=(NamedMutex&& other) noexcept;
  NamedMutex(const NamedMutex&) = delete;
  NamedMutex& operator=(const NamedMutex&) = delete;
  // Lets go of the lock it holds.
  ~NamedMutex();

  // Takes the lock Name into Held unless another holder, in this process or another, has it;
  // false then, and when the system refuses. A holder that ended without letting go (it was
  // killed) no longer counts.
  [[nodiscard]] static bool TryAcquire(StringView name, NamedMutex& held);

  // Whether some holder, this process included, has the lock Name now; it is not taken. A
  // TryAcquire of another process at the same moment may be refused while this looks.
  [[nodiscard]] static bool IsHeld(StringView name);

  // Whether this object holds its lock.
  [[nodiscard]] bool IsHeld() const { return handle_ != InvalidHandle; }

 private:
  static constexpr intptr_t InvalidHandle = -1;
  void Release();

  intptr_t handle_ = InvalidHandle;
};

}  // namespace platform

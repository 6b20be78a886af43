// A machine-wide lock by name on the host: an exclusive lock of a file in the system's temporary
// folder, which the kernel drops when its holder ends, as Windows drops a killed holder's mutex.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "platform/named_mutex.h"
#include "platform/os_error.h"

namespace platform {

namespace {

std::string LockFileOf(StringView name) {
  std::string file = "/tmp/uinstaller-lock-";
  for (const char c : StringToUtf8(name)) file.push_back(c == '/' ? '_' : c);
  return file;
}

}  // namespace

bool NamedMutex::TryAcquire(StringView name, NamedMutex& held) {
  held.Release();
  const int descriptor = ::open(LockFileOf(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (descriptor < 0) {
    SetLastOSError(ErrorAccessDenied);
    return false;
  }
  // A lock of its own open file, so that a second holder in the same process is refused too.
  if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
    ::close(descriptor);
    SetLastOSError(ErrorAlreadyExists);
    return false;
  }
  held.handle_ = descriptor;
  return true;
}

bool NamedMutex::IsHeld(StringView name) {
  // Taking the lock for a moment is the only way to ask; without its file nobody ever held it.
  const int descriptor = ::open(LockFileOf(name).c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return false;
  const bool held = ::flock(descriptor, LOCK_EX | LOCK_NB) != 0;
  ::close(descriptor);
  return held;
}

void NamedMutex::Release() {
  if (handle_ == InvalidHandle) return;
  ::close(static_cast<int>(std::exchange(handle_, InvalidHandle)));
}

}  // namespace platform

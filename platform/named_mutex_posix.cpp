// A machine-wide lock by name on the host: an exclusive lock of a file in the system's temporary
// folder, which the kernel drops when its holder ends, as Windows drops a killed holder's mutex.
//
// The host double's machine is the test process, with the processes it forks, as its registry
// and its drives are: tests running side by side must not see each other's locks.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#include "platform/named_mutex.h"
#include "platform/os_error.h"

namespace platform {

namespace {

// Taken when the process starts, so that a forked child shares its parent's machine.
const pid_t machine = ::getpid();

std::mutex lock_files_mutex;
std::set<std::string> lock_files;

// The machine's lock files go when it ends; a forked child leaves them to its parent.
void RemoveLockFiles() {
  if (::getpid() != machine) return;
  std::lock_guard lock(lock_files_mutex);
  for (const std::string& file : lock_files) ::unlink(file.c_str());
}

std::string LockFileOf(StringView name) {
  std::string file = "/tmp/uinstaller-lock-" + std::to_string(machine) + "-";
  for (const char c : StringToUtf8(name)) file.push_back(c == '/' ? '_' : c);
  std::lock_guard lock(lock_files_mutex);
  if (lock_files.empty()) std::atexit(RemoveLockFiles);
  lock_files.insert(file);
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

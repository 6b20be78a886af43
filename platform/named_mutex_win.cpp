// A machine-wide lock by name: a named mutex of the kernel.
#include <windows.h>

#include <utility>

#include "platform/named_mutex.h"
#include "platform/windows_text.h"

namespace platform {

namespace {

// In the global namespace, so that runs in other sessions (another user logged on, a
// deployment service) see the same lock. A backslash would name a namespace of its own.
String KernelObjectName(StringView name) {
  String result = u"Global\\";
  for (const char16_t c : name) result.push_back(c == u'\\' ? u'_' : c);
  return result;
}

}  // namespace

bool NamedMutex::TryAcquire(StringView name, NamedMutex& held) {
  held.Release();
  const HANDLE handle = ::CreateMutexW(nullptr, TRUE, ToWide(KernelObjectName(name)));
  if (handle == nullptr) return false;
  // Whoever opened the mutex first holds the lock, as long as any handle to it is open: the
  // object lives exactly that long, so a holder that was killed leaves nothing behind. Asking
  // by existence rather than by ownership also refuses a second holder in the same thread,
  // which a mutex, counting recursively, would let in.
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(handle);
    ::SetLastError(ERROR_ALREADY_EXISTS);
    return false;
  }
  held.handle_ = reinterpret_cast<intptr_t>(handle);
  return true;
}

bool NamedMutex::IsHeld(StringView name) {
  // The mutex exists exactly while a holder has it open (see TryAcquire).
  const HANDLE handle = ::OpenMutexW(SYNCHRONIZE, FALSE, ToWide(KernelObjectName(name)));
  if (handle == nullptr) return false;
  ::CloseHandle(handle);
  return true;
}

void NamedMutex::Release() {
  if (handle_ == InvalidHandle) return;
  const auto handle = reinterpret_cast<HANDLE>(std::exchange(handle_, InvalidHandle));
  ::ReleaseMutex(handle);
  ::CloseHandle(handle);
}

}  // namespace platform

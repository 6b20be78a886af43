// Top-level windows of the host double: fake windows that tests register, each with the process
// that owns it and that process's executable.
#include <algorithm>
#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/host_double.h"
#include "platform/locale.h"
#include "platform/os_error.h"
#include "platform/top_level_windows.h"

namespace platform {

namespace {

struct FakeWindow {
  NativeWindow Handle;
  HostDouble::WindowRecord Record;
  bool RefusesToClose = false;
};

std::mutex windows_mutex;
std::vector<FakeWindow> fake_windows;
std::vector<NativeWindow> close_requests;
uintptr_t next_window = 0x10010;

}  // namespace

NativeWindow FindTopLevelWindow(StringView class_name) {
  std::lock_guard lock(windows_mutex);
  for (const FakeWindow& window : fake_windows) {
    const String& name = window.Record.ClassName;
    if (name.size() == class_name.size() && CompareTextIgnoringCase(name, class_name) == 0) {
      return window.Handle;
    }
  }
  return nullptr;
}

bool GetWindowProcessId(NativeWindow window, uint32_t& process_id) {
  std::lock_guard lock(windows_mutex);
  for (const FakeWindow& fake : fake_windows) {
    if (fake.Handle == window) {
      process_id = fake.Record.ProcessId;
      return true;
    }
  }
  SetLastOSError(ErrorInvalidWindowHandle);
  return false;
}

bool GetProcessExecutablePath(uint32_t process_id, String& path) {
  std::lock_guard lock(windows_mutex);
  for (const FakeWindow& fake : fake_windows) {
    if (fake.Record.ProcessId == process_id && process_id != 0) {
      // A process without a path stands for one this user may not open.
      if (fake.Record.ExecutablePath.empty()) {
        SetLastOSError(ErrorAccessDenied);
        return false;
      }
      path = fake.Record.ExecutablePath;
      return true;
    }
  }
  // What OpenProcess says for an id that names no process.
  SetLastOSError(ErrorInvalidParameter);
  return false;
}

bool RequestWindowClose(NativeWindow window, uint32_t /*timeout_milliseconds*/) {
  std::lock_guard lock(windows_mutex);
  close_requests.push_back(window);
  const auto found = std::find_if(fake_windows.begin(), fake_windows.end(),
                                  [&](const FakeWindow& fake) { return fake.Handle == window; });
  if (found == fake_windows.end()) {
    SetLastOSError(ErrorInvalidWindowHandle);
    return false;
  }
  // A window that refuses still answers the message, as one asking "save changes?" does.
  if (!found->RefusesToClose) fake_windows.erase(found);
  return true;
}

void HostDouble::SetWindowRefusesToClose(NativeWindow window, bool refuses) {
  std::lock_guard lock(windows_mutex);
  for (FakeWindow& fake : fake_windows) {
    if (fake.Handle == window) fake.RefusesToClose = refuses;
  }
}

std::vector<NativeWindow> HostDouble::TakeCloseRequests() {
  std::lock_guard lock(windows_mutex);
  return std::exchange(close_requests, {});
}

NativeWindow HostDouble::AddWindow(const WindowRecord& window) {
  std::lock_guard lock(windows_mutex);
  const auto handle = reinterpret_cast<NativeWindow>(next_window);
  next_window += 0x10;
  fake_windows.push_back({handle, window, false});
  return handle;
}

void HostDouble::RemoveWindow(NativeWindow window) {
  std::lock_guard lock(windows_mutex);
  std::erase_if(fake_windows, [&](const FakeWindow& fake) { return fake.Handle == window; });
}

void HostDouble::RemoveWindows() {
  std::lock_guard lock(windows_mutex);
  fake_windows.clear();
  close_requests.clear();
}

}  // namespace platform

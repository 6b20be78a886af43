// Child processes through ShellExecuteExW, process handles and message-serving waits.
#include <windows.h>
#include <shellapi.h>

#include "platform/change_observer.h"
#include "platform/child_process.h"
#include "platform/handle_traits_win.h"
#include "platform/windows_text.h"

namespace platform {

struct ChildProcess::State {
  ScopedKernelHandle Process;
};

ChildProcess::ChildProcess() = default;
ChildProcess::~ChildProcess() = default;
ChildProcess::ChildProcess(ChildProcess&& other) noexcept = default;
ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept = default;

bool ChildProcess::Start(StringView file, StringView parameters, StringView directory,
                         int show_command, ChildProcess& process) {
  const String file_text(file), parameters_text(parameters), directory_text(directory);
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  // Keep the process handle to wait for it; run synchronously (no asynchronous DDE left behind);
  // no error boxes of the shell's own: the caller reports a failure itself.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = ToWide(file_text);
  info.lpParameters = ToWide(parameters_text);
  info.lpDirectory = directory_text.empty() ? nullptr : ToWide(directory_text);
  info.nShow = show_command;
  if (!::ShellExecuteExW(&info)) return false;
  process.state_ = std::make_unique<State>();
  process.state_->Process.Reset(info.hProcess);
  ReportChange(Change::ProcessStarted, file, parameters);
  return true;
}

bool ChildProcess::OpenOfWindow(NativeWindow window, ChildProcess& process) {
  DWORD process_id = 0;
  if (::GetWindowThreadProcessId(static_cast<HWND>(window), &process_id) == 0) return false;
  // Enough to wait for it and read its exit code, which any process may ask of its own user's.
  HANDLE handle = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
  if (handle == nullptr) return false;
  process.state_ = std::make_unique<State>();
  process.state_->Process.Reset(handle);
  return true;
}

bool ChildProcess::IsValid() const {
  return state_ != nullptr && state_->Process.IsValid();
}

bool ChildProcess::WaitServingSentMessages(const std::function<bool()>& stop) {
  if (!IsValid()) return false;
  HANDLE process = state_->Process.Get();
  for (;;) {
    if (stop && stop()) return false;
    const DWORD result = ::MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_SENDMESSAGE);
    if (result == WAIT_OBJECT_0) return true;
    if (result != WAIT_OBJECT_0 + 1) return false;  // the wait itself failed
    // Peeking with this filter hands every message sent to this thread to its window procedure
    // and leaves posted messages alone.
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

bool ChildProcess::WaitForEnd(uint32_t milliseconds) {
  return IsValid() && ::WaitForSingleObject(state_->Process.Get(), milliseconds) == WAIT_OBJECT_0;
}

bool ChildProcess::GetExitCode(uint32_t& exit_code) const {
  if (!IsValid()) return false;
  // STILL_ACTIVE is also a code a process may end with: only the wait tells the two apart.
  if (::WaitForSingleObject(state_->Process.Get(), 0) != WAIT_OBJECT_0) return false;
  DWORD code = 0;
  if (!::GetExitCodeProcess(state_->Process.Get(), &code)) return false;
  exit_code = code;
  return true;
}

}  // namespace platform

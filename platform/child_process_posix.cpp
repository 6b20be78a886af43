// Child processes in the host double: a started program is played by the test (see
// host_double_child_process.h); a window's process is this one, ended or running as told.
#include <mutex>
#include <optional>
#include <utility>

#include "platform/change_observer.h"
#include "platform/child_process.h"
#include "platform/host_double_child_process.h"
#include "platform/os_error.h"

namespace platform {

namespace {

std::mutex children_mutex;
std::vector<HostDoubleChildProcess::Start> starts;
std::function<uint32_t(const HostDoubleChildProcess::Start&)> program_player;
std::optional<uint32_t> refuse_next_start;
bool window_processes_keep_running = false;

}  // namespace

struct ChildProcess::State {
  // A started program not yet played; an opened process never is.
  std::optional<HostDoubleChildProcess::Start> Program;
  bool KeepsRunning = false;
  bool Ended = false;
  uint32_t ExitCode = 0;

  // Plays the program on the calling thread the first time it is waited for.
  void Run() {
    if (Ended || KeepsRunning) return;
    std::function<uint32_t(const HostDoubleChildProcess::Start&)> player;
    {
      std::lock_guard lock(children_mutex);
      player = program_player;
    }
    ExitCode = Program && player ? player(*Program) : 0;
    Ended = true;
  }
};

ChildProcess::ChildProcess() = default;
ChildProcess::~ChildProcess() = default;
ChildProcess::ChildProcess(ChildProcess&& other) noexcept = default;
ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept = default;

bool ChildProcess::Start(StringView file, StringView parameters, StringView directory,
                         int show_command, ChildProcess& process) {
  HostDoubleChildProcess::Start start{String(file), String(parameters), String(directory),
                                      show_command};
  {
    std::lock_guard lock(children_mutex);
    if (refuse_next_start) {
      SetLastOSError(*std::exchange(refuse_next_start, std::nullopt));
      return false;
    }
    starts.push_back(start);
  }
  process.state_ = std::make_unique<State>();
  process.state_->Program = std::move(start);
  ReportChange(Change::ProcessStarted, file, parameters);
  return true;
}

bool ChildProcess::OpenOfWindow(NativeWindow window, ChildProcess& process) {
  if (window == nullptr) {
    SetLastOSError(ErrorInvalidWindowHandle);
    return false;
  }
  process.state_ = std::make_unique<State>();
  std::lock_guard lock(children_mutex);
  process.state_->KeepsRunning = window_processes_keep_running;
  return true;
}

bool ChildProcess::IsValid() const {
  return state_ != nullptr;
}

bool ChildProcess::WaitServingSentMessages(const std::function<bool()>& stop) {
  if (!IsValid()) return false;
  if (stop && stop()) return false;
  // The program's messages to this thread's windows were handled as it sent them.
  state_->Run();
  if (stop && stop()) return false;
  return state_->Ended;
}

bool ChildProcess::WaitForEnd(uint32_t) {
  if (!IsValid()) return false;
  state_->Run();
  return state_->Ended;
}

bool ChildProcess::GetExitCode(uint32_t& exit_code) const {
  if (!IsValid() || !state_->Ended) return false;
  exit_code = state_->ExitCode;
  return true;
}

std::vector<HostDoubleChildProcess::Start> HostDoubleChildProcess::TakeStarts() {
  std::lock_guard lock(children_mutex);
  return std::exchange(starts, {});
}

void HostDoubleChildProcess::SetProgram(std::function<uint32_t(const Start&)> program) {
  std::lock_guard lock(children_mutex);
  program_player = std::move(program);
}

void HostDoubleChildProcess::RefuseNextStart(uint32_t error) {
  std::lock_guard lock(children_mutex);
  refuse_next_start = error;
}

void HostDoubleChildProcess::SetWindowProcessesKeepRunning(bool keep_running) {
  std::lock_guard lock(children_mutex);
  window_processes_keep_running = keep_running;
}

void HostDoubleChildProcess::Reset() {
  std::lock_guard lock(children_mutex);
  starts.clear();
  program_player = nullptr;
  refuse_next_start.reset();
  window_processes_keep_running = false;
}

}  // namespace platform

// The host double's shell: records what would have been started.
#include <mutex>
#include <utility>
#include <vector>

#include "platform/change_observer.h"
#include "platform/host_com_posix.h"
#include "platform/host_double.h"
#include "platform/shell_execute.h"

namespace platform {

namespace {
std::mutex executions_mutex;
std::vector<HostDouble::ShellExecution> executions;
bool refuse_next = false;
// Apartments nest on a thread, as CoInitializeEx calls do.
thread_local int apartments = 0;
}  // namespace

bool ShellOpen(StringView file, StringView parameters, StringView directory, int show_command) {
  std::lock_guard lock(executions_mutex);
  if (std::exchange(refuse_next, false)) return false;
  executions.push_back({String(file), String(parameters), String(directory), show_command});
  return Reported(true, Change::ProcessStarted, file, parameters);
}

// The host has no COM to join; it only remembers that the thread would be in an apartment.
ShellApartment::ShellApartment() {
  ++apartments;
}
ShellApartment::~ShellApartment() {
  --apartments;
}

bool HostThreadInApartment() {
  return apartments > 0;
}

void HostDouble::RefuseNextShellExecution() {
  std::lock_guard lock(executions_mutex);
  refuse_next = true;
}

std::vector<HostDouble::ShellExecution> HostDouble::TakeShellExecutions() {
  std::lock_guard lock(executions_mutex);
  return std::exchange(executions, {});
}

}  // namespace platform

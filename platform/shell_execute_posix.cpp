// The host double's shell: records what would have been started.
#include <mutex>
#include <utility>
#include <vector>

#include "platform/host_double.h"
#include "platform/shell_execute.h"

namespace platform {

namespace {
std::mutex executions_mutex;
std::vector<HostDouble::ShellExecution> executions;
bool refuse_next = false;
}  // namespace

bool ShellOpen(StringView file, StringView parameters, StringView directory, int show_command) {
  std::lock_guard lock(executions_mutex);
  if (std::exchange(refuse_next, false)) return false;
  executions.push_back({String(file), String(parameters), String(directory), show_command});
  return true;
}

// The host has no COM: nothing to join.
ShellApartment::ShellApartment() = default;
ShellApartment::~ShellApartment() = default;

void HostDouble::RefuseNextShellExecution() {
  std::lock_guard lock(executions_mutex);
  refuse_next = true;
}

std::vector<HostDouble::ShellExecution> HostDouble::TakeShellExecutions() {
  std::lock_guard lock(executions_mutex);
  return std::exchange(executions, {});
}

}  // namespace platform

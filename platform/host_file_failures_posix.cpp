// Failures the host double's tests inject into file operations: each one waits for its call.
#include "platform/host_file_failures_posix.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/os_error.h"

namespace platform {

namespace {

struct PendingFailure {
  HostDouble::FileOperation Operation;
  int CallsLeft;  // 1: the next call of its kind fails
  uint32_t Error;
};

std::mutex failures_mutex;
std::vector<PendingFailure> pending_failures;

}  // namespace

bool HostFileOperationFails(HostDouble::FileOperation operation) {
  std::lock_guard lock(failures_mutex);
  bool fails = false;
  uint32_t error = ErrorSuccess;
  for (PendingFailure& failure : pending_failures) {
    if (failure.Operation != operation || --failure.CallsLeft != 0) continue;
    fails = true;
    error = failure.Error;
  }
  std::erase_if(pending_failures,
                [](const PendingFailure& failure) { return failure.CallsLeft <= 0; });
  if (fails) SetLastOSError(error);
  return fails;
}

void HostDouble::FailFileOperation(FileOperation operation, int nth, uint32_t error) {
  if (nth < 1) return;
  std::lock_guard lock(failures_mutex);
  pending_failures.push_back({operation, nth, error});
}

void HostDouble::ClearFileFailures() {
  std::lock_guard lock(failures_mutex);
  pending_failures.clear();
}

}  // namespace platform

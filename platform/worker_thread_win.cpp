// The worker thread on the Windows API.
#include <windows.h>

#include <atomic>

#include "platform/exception.h"
#include "platform/handle_traits_win.h"
#include "platform/serving_wait_win.h"
#include "platform/worker_thread.h"

namespace platform {

struct WorkerThread::State {
  std::function<void()> Body;
  ScopedKernelHandle Thread;
  std::atomic<bool> Started{false};
  std::atomic<bool> Finished{false};
};

namespace {

DWORD WINAPI RunBody(void* parameter) {
  auto* state = static_cast<WorkerThread::State*>(parameter);
  try {
    state->Body();
  } catch (...) {
    // The body reports its own failures; anything that still escapes must not take the whole
    // process down from a thread nobody joins with an exception.
  }
  state->Finished = true;
  return 0;
}

}  // namespace

WorkerThread::WorkerThread(std::function<void()> body) : state_(std::make_unique<State>()) {
  state_->Body = std::move(body);
  // Created suspended, so that the owner can store the thread before it reports anything.
  state_->Thread.Reset(
      ::CreateThread(nullptr, 0, &RunBody, state_.get(), CREATE_SUSPENDED, nullptr));
  if (!state_->Thread) RaiseLastOSError(u"CreateThread");
}

WorkerThread::~WorkerThread() {
  if (HasStarted()) {
    WaitServingSentMessages();
  } else {
    // Never started: let it run to an empty end rather than leave a suspended thread behind.
    state_->Body = [] {};
    ::ResumeThread(state_->Thread.Get());
    ::WaitForSingleObject(state_->Thread.Get(), INFINITE);
  }
}

void WorkerThread::Start() {
  if (state_->Started.exchange(true)) return;
  ::ResumeThread(state_->Thread.Get());
}

bool WorkerThread::HasStarted() const {
  return state_->Started;
}

bool WorkerThread::HasFinished() const {
  return state_->Finished;
}

void WorkerThread::WaitServingSentMessages() {
  // A suspended thread never ends, so waiting for one that was never started would hang.
  if (!HasStarted()) return;
  WaitForObjectServingSentMessages(state_->Thread.Get());
}

}  // namespace platform

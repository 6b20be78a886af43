// The worker thread in the host double: a std::thread whose end wakes the serving waits.
#include <atomic>
#include <thread>

#include "platform/host_messages_posix.h"
#include "platform/worker_thread.h"

namespace platform {

struct WorkerThread::State {
  std::function<void()> Body;
  std::thread Thread;
  bool Started = false;
  // Set under the messaging lock (HostSignalChange), so that a serving wait cannot miss it.
  std::atomic<bool> Finished{false};
};

WorkerThread::WorkerThread(std::function<void()> body) : state_(std::make_unique<State>()) {
  state_->Body = std::move(body);
}

WorkerThread::~WorkerThread() {
  if (state_->Started) WaitServingSentMessages();
}

void WorkerThread::Start() {
  if (state_->Started) return;
  state_->Started = true;
  State* state = state_.get();
  state_->Thread = std::thread([state] {
    try {
      state->Body();
    } catch (...) {
      // As on Windows: the body reports its own failures, and nothing escapes the thread.
    }
    HostSignalChange([state] { state->Finished = true; });
  });
}

bool WorkerThread::HasStarted() const {
  return state_->Started;
}

bool WorkerThread::HasFinished() const {
  return state_->Finished;
}

void WorkerThread::WaitServingSentMessages() {
  if (!state_->Started) return;
  HostWaitServingSentMessages([this] { return state_->Finished.load(); });
  if (state_->Thread.joinable()) state_->Thread.join();
}

}  // namespace platform

// A thread that does the long work of a run while the main thread keeps its windows alive.
#pragma once

#include <functional>
#include <memory>

namespace platform {

class WorkerThread {
 public:
  // Prepares the thread; it runs Body only once Start is called.
  explicit WorkerThread(std::function<void()> body);
  // Waits for the end of a started thread, serving sent messages meanwhile.
  ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  void Start();
  bool HasStarted() const;
  bool HasFinished() const;

  // Waits until Body has returned. Messages that other threads send to the calling thread's
  // windows are handled meanwhile: the worker reports by sending such messages and waits for
  // them, so a plain wait here would deadlock both threads.
  void WaitServingSentMessages();

  // What each platform keeps for the thread; defined by the implementation.
  struct State;

 private:
  std::unique_ptr<State> state_;
};

}  // namespace platform

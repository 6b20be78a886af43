// Sent messages between threads in the host double.
#include "platform/host_messages_posix.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace platform {

namespace {

struct PendingSend {
  std::thread::id Target;
  const std::function<intptr_t()>* Call;
  intptr_t Result = 0;
  bool Done = false;
};

std::mutex messages_mutex;
std::condition_variable messages_changed;
std::deque<PendingSend*> pending_sends;

// Runs every send waiting for this thread; the lock is released while a call runs, because a
// handler may send messages itself.
void ServePending(std::unique_lock<std::mutex>& lock) {
  const std::thread::id self = std::this_thread::get_id();
  for (;;) {
    PendingSend* send = nullptr;
    for (auto it = pending_sends.begin(); it != pending_sends.end(); ++it) {
      if ((*it)->Target == self) {
        send = *it;
        pending_sends.erase(it);
        break;
      }
    }
    if (send == nullptr) return;
    lock.unlock();
    const intptr_t result = (*send->Call)();
    lock.lock();
    send->Result = result;
    send->Done = true;
    messages_changed.notify_all();
  }
}

}  // namespace

intptr_t HostSendToThread(std::thread::id target, const std::function<intptr_t()>& call) {
  if (target == std::this_thread::get_id()) return call();
  PendingSend send;
  send.Target = target;
  send.Call = &call;
  {
    std::lock_guard lock(messages_mutex);
    pending_sends.push_back(&send);
    messages_changed.notify_all();
  }
  HostWaitServingSentMessages([&send] { return send.Done; });
  return send.Result;
}

void HostWaitServingSentMessages(const std::function<bool()>& done) {
  std::unique_lock lock(messages_mutex);
  for (;;) {
    ServePending(lock);
    if (done()) return;
    messages_changed.wait(lock);
  }
}

void HostSignalChange(const std::function<void()>& change) {
  std::lock_guard lock(messages_mutex);
  change();
  messages_changed.notify_all();
}

}  // namespace platform

// The host double's delivery of sent messages between threads (host builds only).
//
// On Windows a message sent to a window of another thread is handled by that thread only while
// it retrieves messages or waits in a way that serves them; the sender blocks meanwhile and
// itself serves messages sent to it. The double keeps that contract with one lock, one
// condition and a list of pending sends, which is all a test double needs.
#pragma once

#include <cstdint>
#include <functional>
#include <thread>

namespace platform {

// Runs Call on the Target thread the next time it serves sent messages, and waits for the
// result, serving the calling thread's own sent messages meanwhile.
intptr_t HostSendToThread(std::thread::id target, const std::function<intptr_t()>& call);

// Serves the calling thread's sent messages until Done (evaluated under the lock) is true.
void HostWaitServingSentMessages(const std::function<bool()>& done);

// Wakes every waiting thread so that it re-evaluates its condition.
void HostSignalChange(const std::function<void()>& change);

}  // namespace platform

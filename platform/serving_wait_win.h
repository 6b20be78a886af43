// Waiting for a thread or process to end while handling the messages other threads and
// processes send to this thread (Windows builds only).
#pragma once

#include <windows.h>

namespace platform {

// The thread waited for may itself be sending to this thread and waiting for the answer (the
// worker's notifications, the elevated copy's spawn requests); a plain wait would deadlock both.
inline void WaitForObjectServingSentMessages(HANDLE object) {
  for (;;) {
    const DWORD result = ::MsgWaitForMultipleObjects(1, &object, FALSE, INFINITE, QS_SENDMESSAGE);
    if (result != WAIT_OBJECT_0 + 1) return;  // signalled (or the wait failed)
    // Peeking with this filter hands every message sent to this thread to its window
    // procedure and leaves posted messages alone.
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace platform

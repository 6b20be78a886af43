// Hidden windows that only receive messages: how one thread hands work to the thread that owns
// such a window and waits until it is done (and how processes hand each other data).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/message_box.h"
#include "platform/text.h"

namespace platform {

// Message numbers, with the values of the Windows API.
inline constexpr uint32_t MessageCopyData = 0x004A;  // WM_COPYDATA
inline constexpr uint32_t MessageUser = 0x0400;      // WM_USER

// The data record of MessageCopyData, laid out as COPYDATASTRUCT.
struct CopyData {
  uintptr_t Number;
  uint32_t Size;
  const void* Data;
};

// A message-only window of the thread that creates it. Messages sent from other threads (and
// processes) are handled on that thread, and only while it waits in a way that serves them
// (waits.h) or sends a message itself; messages sent from the owning thread are handled at once.
class MessageWindow {
 public:
  // Returns true when it handled the message and set Result; otherwise the platform's default
  // handling applies.
  using Procedure =
      std::function<bool(uint32_t message, uintptr_t first, intptr_t second, intptr_t& result)>;

  MessageWindow(StringView class_name, Procedure procedure);
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  NativeWindow Handle() const { return handle_; }

 private:
  NativeWindow handle_ = nullptr;
  Procedure procedure_;

  friend struct MessageWindowAccess;
};

// Sends a message and waits until the window's thread has handled it (SendMessageW).
intptr_t SendWindowMessage(NativeWindow window, uint32_t message, uintptr_t first, intptr_t second);

// Sends MessageCopyData: Number, and Size bytes that the receiver sees as a copy.
intptr_t SendCopyData(NativeWindow window, NativeWindow sender, uintptr_t number, const void* data,
                      uint32_t size);

// The number the platform gives a message name; the same in every process of the session.
uint32_t RegisterWindowMessageName(StringView name);

// Handles the messages that other threads have sent to this thread's windows so far, without
// waiting for more.
void ServePendingSentMessages();

// Inside the handling of a message sent from another thread or process: lets the sender go on
// now, before the handler has finished. A handler that starts programs through the shell does
// this first, since the shell may call out to other processes, which it cannot do while a
// sender is blocked on it. Does nothing for a message this thread sent itself.
void ReplyToSentMessage();

// The first message-only window of a class, of any process, or null.
NativeWindow FindMessageWindow(StringView class_name);

}  // namespace platform

// Message-only windows in the host double: a table of windows, each owned by a thread.
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/host_messages_posix.h"
#include "platform/locale.h"
#include "platform/message_window.h"
#include "platform/os_error.h"

namespace platform {

struct MessageWindowAccess {
  static const MessageWindow::Procedure& ProcedureOf(const MessageWindow& window) {
    return window.procedure_;
  }
};

namespace {

struct WindowRecord {
  String ClassName;
  std::thread::id Owner;
  const MessageWindow* Window;
};

std::mutex windows_mutex;
std::map<NativeWindow, WindowRecord> windows;
uintptr_t next_window = 0x10000;
std::vector<String> registered_messages;

bool SameClass(StringView a, StringView b) {
  return a.size() == b.size() && CompareTextIgnoringCase(a, b) == 0;
}

}  // namespace

MessageWindow::MessageWindow(StringView class_name, Procedure procedure)
    : procedure_(std::move(procedure)) {
  std::lock_guard lock(windows_mutex);
  handle_ = reinterpret_cast<NativeWindow>(next_window);
  next_window += 0x10;
  windows[handle_] = {String(class_name), std::this_thread::get_id(), this};
}

MessageWindow::~MessageWindow() {
  std::lock_guard lock(windows_mutex);
  windows.erase(handle_);
}

intptr_t SendWindowMessage(NativeWindow window, uint32_t message, uintptr_t first,
                           intptr_t second) {
  WindowRecord record;
  {
    std::lock_guard lock(windows_mutex);
    const auto found = windows.find(window);
    if (found == windows.end()) {
      SetLastOSError(ErrorInvalidWindowHandle);
      return 0;
    }
    record = found->second;
  }
  const std::function<intptr_t()> call = [&] {
    // The window may have been destroyed while the message waited for its thread.
    {
      std::lock_guard lock(windows_mutex);
      if (windows.find(window) == windows.end()) return intptr_t{0};
    }
    intptr_t result = 0;
    const auto& procedure = MessageWindowAccess::ProcedureOf(*record.Window);
    if (procedure && procedure(message, first, second, result)) return result;
    return intptr_t{0};
  };
  return HostSendToThread(record.Owner, call);
}

intptr_t SendCopyData(NativeWindow window, NativeWindow sender, uintptr_t number, const void* data,
                      uint32_t size) {
  // The receiver gets its own copy of the bytes, as it would across processes.
  const std::vector<uint8_t> copy(static_cast<const uint8_t*>(data),
                                  static_cast<const uint8_t*>(data) + size);
  const CopyData record{number, size, copy.data()};
  return SendWindowMessage(window, MessageCopyData, reinterpret_cast<uintptr_t>(sender),
                           reinterpret_cast<intptr_t>(&record));
}

uint32_t RegisterWindowMessageName(StringView name) {
  std::lock_guard lock(windows_mutex);
  for (size_t i = 0; i < registered_messages.size(); ++i) {
    if (SameClass(registered_messages[i], name)) return static_cast<uint32_t>(0xC000 + i);
  }
  registered_messages.emplace_back(name);
  return static_cast<uint32_t>(0xC000 + registered_messages.size() - 1);
}

void ServePendingSentMessages() {
  HostWaitServingSentMessages([] { return true; });
}

// The host's senders wait for the whole handler; nothing here calls out while they do.
void ReplyToSentMessage() {}

NativeWindow FindMessageWindow(StringView class_name) {
  std::lock_guard lock(windows_mutex);
  for (const auto& [handle, record] : windows) {
    if (SameClass(record.ClassName, class_name)) return handle;
  }
  return nullptr;
}

}  // namespace platform

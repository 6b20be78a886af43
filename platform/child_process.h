// Processes this program starts or waits for: to wait for their end (serving the messages they
// send meanwhile) and to read their exit code.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/message_box.h"
#include "platform/text.h"

namespace platform {

// Holds a process only to wait for it: letting go of it (the destructor) neither ends the
// process nor waits for it.
class ChildProcess {
 public:
  ChildProcess();
  ~ChildProcess();
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts File through the shell (ShellExecuteExW, verb "open") with Parameters, in Directory
  // (empty: the current one), and keeps the process. False, with the platform's error, when the
  // shell refuses. A start that yields no process (a document handed to a program that was
  // running already) succeeds and leaves Process without one.
  [[nodiscard]] static bool Start(StringView file, StringView parameters, StringView directory,
                                  int show_command, ChildProcess& process);

  // Opens the process that owns Window, only to wait for its end. False, with the platform's
  // error, when the window or its process is gone.
  [[nodiscard]] static bool OpenOfWindow(NativeWindow window, ChildProcess& process);

  [[nodiscard]] bool IsValid() const;

  // Waits for the end without a time limit, handling meanwhile the messages that other threads
  // and processes send to this thread (the process may be sending to it and waiting for the
  // answer). After each batch of such messages, Stop is asked: when it says so, the wait ends
  // at once. True when the process ended; false when Stop ended the wait or there is no process.
  [[nodiscard]] bool WaitServingSentMessages(const std::function<bool()>& stop);

  // Waits up to Milliseconds for the end, serving nothing; true when the process has ended.
  [[nodiscard]] bool WaitForEnd(uint32_t milliseconds);

  // The exit code of a process that has ended; false while it runs or when it cannot be read.
  [[nodiscard]] bool GetExitCode(uint32_t& exit_code) const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace platform

// Controls of the host double's child processes, for tests only (host builds only).
//
// A started program is played by the test: it runs when the program is first waited for, on the
// waiting thread, so that it can send messages to that thread's windows as the real program
// sends them to its parent, and it returns the exit code the program ends with.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/message_box.h"
#include "platform/text.h"

namespace platform {

class HostDoubleChildProcess {
 public:
  struct Start {
    String File;
    String Parameters;
    String Directory;
    int ShowCommand;
  };

  // What ChildProcess::Start was asked to start since the last call, oldest first.
  static std::vector<Start> TakeStarts();
  // Plays every program started from now on (null: each ends at once with exit code 0).
  static void SetProgram(std::function<uint32_t(const Start&)> program);
  // The next start fails with Error, as when the file cannot be started.
  static void RefuseNextStart(uint32_t error);
  // Processes opened through ChildProcess::OpenOfWindow have ended when waited for (the
  // default), or keep running so that every wait for them times out.
  static void SetWindowProcessesKeepRunning(bool keep_running);
  // Back to the defaults, with no starts recorded.
  static void Reset();
};

}  // namespace platform

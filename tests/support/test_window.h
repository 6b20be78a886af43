// A top-level window of a class of the test's own, for tests that look windows up: a real hidden
// window of this test program on Windows, a fake window of the host double on Linux.
#pragma once

#include <cstdint>

#include "platform/message_box.h"
#include "platform/text.h"

class TestWindow {
 public:
  explicit TestWindow(StringView class_name);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  platform::NativeWindow Handle() const { return handle_; }
  // The process that owns the window and its executable, as the system should report them.
  uint32_t ProcessId() const { return process_id_; }
  const String& ExecutablePath() const { return executable_path_; }

 private:
  String class_name_;
  platform::NativeWindow handle_ = nullptr;
  uint32_t process_id_ = 0;
  String executable_path_;
};

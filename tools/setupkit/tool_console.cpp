// The maker's tool's standard console.
#include "tools/setupkit/tool_console.h"

#include "platform/console.h"

void TStandardConsole::Out(StringView text) {
  platform::WriteStandardOutput(text);
}

void TStandardConsole::Error(StringView text) {
  EndProgress();
  platform::WriteStandardError(text);
}

void TStandardConsole::Progress(StringView text) {
  if (!platform::StandardErrorIsTerminal()) return;
  // Carriage return and an erase to the end of the line: the next line replaces this one.
  platform::WriteStandardError(u"\r" + String(text) + u"\x1b[K");
  progress_shown_ = true;
}

void TStandardConsole::EndProgress() {
  if (!progress_shown_) return;
  platform::WriteStandardError(u"\n");
  progress_shown_ = false;
}

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
  // A carriage return, and blanks over what a longer line before left: the next line replaces
  // this one on any console, including those that do not understand escape sequences.
  String line = u"\r" + String(text);
  if (text.size() < progress_width_) line.append(progress_width_ - text.size(), u' ');
  progress_width_ = text.size();
  platform::WriteStandardError(line);
  progress_shown_ = true;
}

void TStandardConsole::EndProgress() {
  if (!progress_shown_) return;
  platform::WriteStandardError(u"\n");
  progress_shown_ = false;
  progress_width_ = 0;
}

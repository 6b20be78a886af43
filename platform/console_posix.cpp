// Console output on Linux: UTF-8 on the standard descriptors.
#include <unistd.h>

#include "platform/console.h"

namespace platform {

namespace {

void Write(int descriptor, StringView text) {
  const std::string bytes = StringToUtf8(text);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(descriptor, bytes.data() + done, bytes.size() - done);
    if (written <= 0) return;
    done += static_cast<size_t>(written);
  }
}

}  // namespace

void WriteStandardOutput(StringView text) {
  Write(STDOUT_FILENO, text);
}

void WriteStandardError(StringView text) {
  Write(STDERR_FILENO, text);
}

bool AttachToCallerConsole() {
  return false;
}

bool StandardErrorIsTerminal() {
  return ::isatty(STDERR_FILENO) == 1;
}

}  // namespace platform

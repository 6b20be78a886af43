// Facts about the running process, as the host double pretends them to be.
#include "platform/host_double.h"
#include "platform/process.h"

namespace platform {

namespace {
String process_command_line = u"setup.exe";
}  // namespace

String GetProcessCommandLine() {
  return process_command_line;
}

void HostDouble::SetProcessCommandLine(StringView command_line) {
  process_command_line = String(command_line);
}

}  // namespace platform

// Facts about the running process, as the host double pretends them to be.
#include <filesystem>
#include <mutex>

#include "platform/host_double.h"
#include "platform/process.h"

namespace platform {

namespace {
String process_command_line = u"setup.exe";

std::mutex program_file_name_mutex;
String program_file_name;
}  // namespace

String GetProcessCommandLine() {
  return process_command_line;
}

void HostDouble::SetProcessCommandLine(StringView command_line) {
  process_command_line = String(command_line);
}

String GetProgramFileName() {
  std::lock_guard lock(program_file_name_mutex);
  if (program_file_name.empty()) {
    std::error_code error;
    const std::filesystem::path own = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) program_file_name = Utf8ToString(own.string());
  }
  return program_file_name;
}

void HostDouble::SetProgramFileName(StringView file_name) {
  std::lock_guard lock(program_file_name_mutex);
  program_file_name = String(file_name);
}

}  // namespace platform

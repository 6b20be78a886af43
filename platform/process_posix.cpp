// Facts about the running process, as the host double pretends them to be.
#include <filesystem>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/host_double.h"
#include "platform/os_error.h"
#include "platform/process.h"

namespace platform {

namespace {
String process_command_line = u"setup.exe";

std::mutex program_file_name_mutex;
String program_file_name;

std::mutex started_programs_mutex;
std::vector<String> started_programs;
std::function<bool(StringView)> program_handler;

// Whether a program file exists at Path, or, with no extension given, at Path with ".exe", as
// CreateProcessW looks for it.
bool ProgramFileExists(StringView path) {
  if (path.empty()) return false;
  if (FileExists(path)) return true;
  return ExtractFileExt(path).empty() && FileExists(String(path) + u".exe");
}

// Whether the program that a command line names can be found. A quoted name is taken as it is;
// an unquoted one may hold blanks, so every blank in turn is tried as its end, shortest first,
// as CreateProcessW does. A bare name would be searched along the system's folders and PATH,
// which the double does not model: it is taken as found.
bool FindProgram(StringView command_line) {
  if (command_line.starts_with(u'"')) {
    const size_t end = command_line.find(u'"', 1);
    const StringView name = command_line.substr(1, end == StringView::npos ? end : end - 1);
    return ExtractFilePath(name).empty() ? !name.empty() : ProgramFileExists(name);
  }
  const size_t first_blank = command_line.find_first_of(u" \t");
  if (ExtractFilePath(command_line.substr(0, first_blank)).empty()) {
    return first_blank != 0 && !command_line.empty();
  }
  for (size_t end = command_line.find_first_of(u" \t");;
       end = command_line.find_first_of(u" \t", end + 1)) {
    if (ProgramFileExists(command_line.substr(0, end))) return true;
    if (end == StringView::npos) return false;
  }
}
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

bool RunProgramAndWait(StringView command_line) {
  std::function<bool(StringView)> handler;
  {
    std::lock_guard lock(started_programs_mutex);
    started_programs.emplace_back(command_line);
    handler = program_handler;
  }
  // The handler stands in for the program, found or not; it runs outside the lock, so that it
  // may start programs itself.
  if (handler) {
    // A handler that refuses without an error of its own reports a program not found.
    SetLastOSError(ErrorFileNotFound);
    return handler(command_line);
  }
  if (!FindProgram(command_line)) {
    SetLastOSError(ErrorFileNotFound);
    return false;
  }
  return true;
}

std::vector<String> HostDouble::TakeStartedPrograms() {
  std::lock_guard lock(started_programs_mutex);
  return std::exchange(started_programs, {});
}

void HostDouble::SetProgramHandler(std::function<bool(StringView command_line)> handler) {
  std::lock_guard lock(started_programs_mutex);
  program_handler = std::move(handler);
}

void HostDouble::SetProgramFileName(StringView file_name) {
  std::lock_guard lock(program_file_name_mutex);
  program_file_name = String(file_name);
}

}  // namespace platform

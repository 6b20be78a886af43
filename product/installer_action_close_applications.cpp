// Closing the player and its companion programs.
#include "product/installer_action_close_applications.h"

#include "core/installer_errors.h"
#include "platform/clock.h"
#include "platform/file_name.h"
#include "platform/top_level_windows.h"
#include "support/format_text.h"

namespace {

// For language files that predate the message.
constexpr char16_t StillRunningFallback[] =
    u"%s is still running. Close it and run the setup again.";

// The executable's file name of the window's process, or the window class when the process
// cannot be asked (another user's, or already gone).
String ProgramOf(platform::NativeWindow window, StringView class_name) {
  uint32_t process_id = 0;
  String path;
  if (platform::GetWindowProcessId(window, process_id) &&
      platform::GetProcessExecutablePath(process_id, path)) {
    String name = platform::ExtractFileName(path);
    if (!name.empty()) return name;
  }
  return String(class_name);
}

}  // namespace

void TInstallerActionCloseApplications::Execute() {
  SetStatus(GetCommonText(u"A8"));
  const uint64_t start = platform::MonotonicMilliseconds();
  for (;;) {
    const bool found = ClosePass();
    platform::Pause(PassPause);
    if (!found || cancelled_) return;
    if (platform::MonotonicMilliseconds() - start >= TimeLimit) {
      // A program that closed during the last pause does not fail the run.
      const String program = FindRunningProgram();
      if (program.empty()) return;
      String text = GetCommonText(u"E5");
      if (text.empty()) text = StillRunningFallback;
      throw EInstallerInstallError(FormatText(text, {program}));
    }
  }
}

bool TInstallerActionCloseApplications::ClosePass() {
  bool found = false;
  for (const char16_t* class_name : WindowClasses) {
    const platform::NativeWindow window = platform::FindTopLevelWindow(class_name);
    if (window == nullptr) continue;
    found = true;
    // A program that does not answer is asked again in the next pass.
    [[maybe_unused]] const bool answered =
        platform::RequestWindowClose(window, CloseRequestTimeout);
  }
  return found;
}

String TInstallerActionCloseApplications::FindRunningProgram() {
  for (const char16_t* class_name : WindowClasses) {
    const platform::NativeWindow window = platform::FindTopLevelWindow(class_name);
    if (window != nullptr) return ProgramOf(window, class_name);
  }
  return String();
}

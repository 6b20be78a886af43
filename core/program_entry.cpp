// The program entry.
#include "core/program_entry.h"

#include "core/exit_codes.h"
#include "core/installer_errors.h"
#include "core/installer_product_info.h"
#include "platform/message_box.h"
#include "support/command_line.h"

namespace {

// Kept for the life of the process and handed unchanged to every relaunch.
String argument_text;

void ShowErrorBox(StringView message) {
  // The owner is the application window; there is none before the wizard exists.
  platform::ShowMessageBox(nullptr, message, u"Setup",
                           platform::MessageBoxOk | platform::MessageBoxIconError);
}

void RunSteps() {
  if (ProductInfoClass == nullptr) throw EInstallerGeneralError(u"ProductInfoClass is nil");
}

}  // namespace

int RunProgramEntry() {
  argument_text = GetCommandLineArgs();
  try {
    RunSteps();
    return ExitSuccess;
  } catch (const Exception& error) {
    ShowErrorBox(error.Message());
    return ExitFailed;
  } catch (const std::exception& error) {
    // Not one of ours (a library's failure, memory exhausted): the same box with what the
    // library said, so an unattended run still ends with an honest code instead of a crash.
    ShowErrorBox(Utf8ToString(error.what()));
    return ExitFailed;
  }
}

const String& ProgramArgumentText() {
  return argument_text;
}

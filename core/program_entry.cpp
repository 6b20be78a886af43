// The program entry.
#include "core/program_entry.h"

#include <charconv>
#include <memory>
#include <string>

#include "core/exit_codes.h"
#include "core/installer.h"
#include "core/installer_errors.h"
#include "core/installer_product_info.h"
#include "core/installer_resources.h"
#include "core/installer_spawn_service.h"
#include "platform/elevation.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/os_error.h"
#include "platform/process.h"
#include "platform/shell_execute.h"
#include "platform/shell_folders.h"
#include "platform/system.h"
#include "support/command_line.h"
#include "support/names.h"

namespace {

// Kept for the life of the process and handed unchanged to every relaunch.
String argument_text;

StringView FolderPart(StringView path) {
  const size_t separator = path.find_last_of(u"\\/:");
  return separator == StringView::npos ? StringView() : path.substr(0, separator + 1);
}

StringView FileNamePart(StringView path) {
  return path.substr(FolderPart(path).size());
}

String WithDelimiter(String folder) {
  if (folder.empty() || folder.back() != u'\\') folder.push_back(u'\\');
  return folder;
}

String TemporaryFolder() {
  String folder;
  platform::GetTempFolder(folder);
  return WithDelimiter(folder);
}

// Decimal text to a number; anything else counts as 0.
int32_t IntegerOrZero(StringView text) {
  const std::string digits = StringToUtf8(Trim(text));
  int32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return error == std::errc() && end == digits.data() + digits.size() ? value : 0;
}

String Decimal(int64_t value) {
  return Utf8ToString(std::to_string(value));
}

// The run itself, steps 2 to 10; returns the exit code.
int RunSteps(const TProgramUserInterface& user_interface) {
  if (ProductInfoClass == nullptr) throw EInstallerGeneralError(u"ProductInfoClass is nil");

  if (platform::GetWindowsVersion().Major >= 6) {
    String skip_uac;
    if (GetSwitch(argument_text, u"SKIPUAC", skip_uac)) {
      // The handle of the first process's spawn window; HWNDs keep 32 significant bits.
      TInstallerSpawnService::Initialize(
          reinterpret_cast<platform::NativeWindow>(static_cast<intptr_t>(IntegerOrZero(skip_uac))));
    } else if (!platform::IsUserAdministrator()) {
      uint32_t exit_code = 0;
      // The copy did the work (or the user declined); this process only waited for it.
      return RelaunchElevated(argument_text, exit_code) ? static_cast<int>(exit_code)
                                                        : ExitCancelled;
    }
  }
  if (!platform::IsUserAdministrator()) throw EInstallerNoAdminRightsError();

  TInstaller installer(argument_text);

  if (installer.Mode() == imUninstall) {
    String path;
    if (GetSwitch(argument_text, u"PATH", path) && platform::FolderExists(path)) {
      installer.SetDestPath(path);
    } else {
      const String program_folder(FolderPart(platform::GetProgramFileName()));
      if (SameName(TemporaryFolder(), WithDelimiter(program_folder))) {
        throw EInstallerMysteryError(u"Cannot Start the Uninstaller");
      }
      StartUninstallerCopy();
      return ExitSuccess;
    }
  }

  if (user_interface.InitializeApplication) user_interface.InitializeApplication();
  installer.Resources().InitializeLanguages();

  if (installer.HasOption(ioSilent)) {
    installer.Start(true);
    if (installer.HasErrors()) {
      String errors = installer.Errors().GetText();
      while (!errors.empty() && (errors.back() == u'\n' || errors.back() == u'\r')) {
        errors.pop_back();
      }
      throw EInstallerInstallError(errors);
    }
    installer.RunPostActions();
    return ExitSuccess;
  }
  if (!user_interface.RunWizard) {
    throw EInstallerMysteryError(
        u"This setup program has no wizard: start it with /AUTO and /SILENT.");
  }
  return user_interface.RunWizard();
}

void ShowErrorBox(const TProgramUserInterface& user_interface, StringView message) {
  const platform::NativeWindow owner =
      user_interface.ApplicationWindow ? user_interface.ApplicationWindow() : nullptr;
  platform::ShowMessageBox(owner, message, u"Setup",
                           platform::MessageBoxOk | platform::MessageBoxIconError);
}

}  // namespace

int RunProgramEntry(const TProgramUserInterface& user_interface) {
  argument_text = GetCommandLineArgs();
  int exit_code = ExitFailed;
  try {
    exit_code = RunSteps(user_interface);
  } catch (const Exception& error) {
    ShowErrorBox(user_interface, error.Message());
  } catch (const std::exception& error) {
    // Not one of ours (a library's failure, memory exhausted): the same box with what the
    // library said, so an unattended run still ends with an honest code instead of a crash.
    ShowErrorBox(user_interface, Utf8ToString(error.what()));
  }
  TInstallerSpawnService::Finalize();
  return exit_code;
}

const String& ProgramArgumentText() {
  return argument_text;
}

bool RelaunchElevated(StringView arguments, uint32_t& exit_code) {
  TInstallerSpawnService::Initialize(nullptr);
  // The handle as the 32-bit number a window handle is; with empty arguments the text ends
  // in one blank, as the copy's parser expects nothing more.
  const auto handle =
      static_cast<int32_t>(reinterpret_cast<intptr_t>(TInstallerSpawnService::TargetWindow()));
  const String parameters = u"/SKIPUAC=" + Decimal(handle) + u" " + String(arguments);
  String directory;
  platform::GetCurrentFolder(directory);
  if (platform::RunElevatedAndWait(platform::GetProgramFileName(), parameters, directory,
                                   exit_code)) {
    return true;
  }
  const uint32_t error = platform::GetLastOSError();
  if (error == platform::ErrorElevationDeclined) return false;
  RaiseOSError(error);
}

void StartUninstallerCopy() {
  const String program = platform::GetProgramFileName();
  const String copy = CopyToTempFolder(program);
  const StringView name = FileNamePart(program);
  const size_t dot = name.find_last_of(u'.');
  const String data_file = String(FolderPart(program)) +
                           String(dot == StringView::npos ? name : name.substr(0, dot)) + u".dat";
  CopyToTempFolder(data_file);
  // No handle of the new process may point into the installation folder it is to remove.
  platform::SetCurrentFolder(FolderPart(copy));
  const String parameters =
      u"/PATH=\"" + String(FolderPart(program)) + u"\" " + ProgramArgumentText();
  // The first process ends with success once the copy runs, so a copy that never started has
  // to say so here: otherwise a silent uninstallation would report success and remove nothing.
  if (!platform::ShellOpen(copy, parameters, u"", platform::ShowDefault)) {
    throw EInstallerMysteryError(u"Cannot Start the Uninstaller");
  }
}

String CopyToTempFolder(StringView source) {
  const String destination = TemporaryFolder() + String(FileNamePart(source));
  if (!platform::CopyFileTo(source, destination, false)) {
    RaiseLastOSError(String(source) + u" -> " + destination);
  }
  platform::ScheduleDeleteAtRestart(destination);
  return destination;
}

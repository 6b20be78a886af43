// The program entry.
#include "core/program_entry.h"

#include <charconv>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/exit_codes.h"
#include "core/installer.h"
#include "core/installer_errors.h"
#include "core/installer_log.h"
#include "core/installer_product_info.h"
#include "core/installer_resources.h"
#include "core/installer_spawn_service.h"
#include "core/installer_user_interface.h"
#include "platform/child_process.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/elevation.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/message_window.h"
#include "platform/named_mutex.h"
#include "platform/os_error.h"
#include "platform/private_folder.h"
#include "platform/process.h"
#include "platform/shell_execute.h"
#include "platform/shell_folders.h"
#include "platform/system.h"
#include "support/command_line.h"
#include "support/format_text.h"
#include "support/names.h"

namespace {

// Kept for the life of the process and handed unchanged to every relaunch.
String argument_text;

// How long the copy waits for the first process to end after handing it the result; the first
// process only returns, so this is ample, and a caller that hangs does not keep the copy forever.
constexpr uint32_t CallerEndTimeout = 30000;
// Deleting a program file right after its process ended can still fail for a moment (the
// system, a virus scanner); a few short tries before leaving it to the next restart.
constexpr int UninstallerDeleteAttempts = 10;
constexpr uint32_t UninstallerDeletePause = 200;

// The installation folder this process uninstalled (the copy's PATH), once it is accepted.
String uninstalled_folder;

String WithDelimiter(String folder) {
  if (folder.empty() || folder.back() != u'\\') folder.push_back(u'\\');
  return folder;
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

// What /? and /HELP print or show.
constexpr char16_t HelpText[] =
    u"Usage: setup.exe [switches]\n"
    u"\n"
    u"/AUTO[=folder]      No questions: install into the folder (default: the existing\n"
    u"                    installation, else the program files folder).\n"
    u"/SILENT             With /AUTO: no window at all.\n"
    u"/SUPPRESSMSGBOXES   With /SILENT: no message box either; errors go to the log and\n"
    u"                    the exit code.\n"
    u"/LOG[=file]         Write a log (default: \"Setup Log yyyy-mm-dd #NNN.txt\" in the\n"
    u"                    temporary folder).\n"
    u"/LANG=name          The language, by its language file's name (English, German, ...).\n"
    u"/PORTABLE           A portable installation: no registration, no integration.\n"
    u"/NOBACKUP           Replace an installation without backing it up.\n"
    u"/UPDATE             Only update an existing installation.\n"
    u"/RUN                Start the program after an automatic update.\n"
    u"/NORESTART          Accepted; setup never restarts Windows.\n"
    u"/? or /HELP         This text.\n"
    u"\n"
    u"Exit codes: 0 success; 1602 cancelled; 1603 failed; 1618 another setup of the\n"
    u"product is running; 3010 success, a restart completes it.\n";

// Help goes where whoever asked can read it: their console or redirected output, else a box.
void ShowHelp() {
  if (platform::AttachToCallerConsole()) {
    // Lines end the Windows way in a file the output is redirected to.
    String text;
    for (const char16_t c : StringView(HelpText)) {
      if (c == u'\n') text.push_back(u'\r');
      text.push_back(c);
    }
    platform::WriteStandardOutput(text);
    return;
  }
  platform::ShowMessageBox(nullptr, HelpText, u"Setup",
                           platform::MessageBoxOk | platform::MessageBoxIconInformation);
}

// Whether boxes are off before the installer object could decide it from its options.
bool MessageBoxesSuppressed() {
  if (Installer != nullptr) return Installer->MessageBoxesSuppressed();
  return HasSwitch(argument_text, u"AUTO") && HasSwitch(argument_text, u"SILENT") &&
         HasSwitch(argument_text, u"SUPPRESSMSGBOXES");
}

// The switches a copy of this program gets in front of the user's: the log it writes on into.
String SwitchesForCopy() {
  const String log = TInstallerLog::FileName();
  return log.empty() ? String() : u"/LOG=\"" + log + u"\" ";
}

// What the run was asked and what it found, for the log.
void LogRun(TInstaller& installer) {
  if (!TInstallerLog::IsOpen()) return;
  String mode = installer.Mode() == imUninstall ? u"uninstall"
                : installer.HasOption(ioUpdate) ? u"update"
                                                : u"install";
  String options;
  constexpr std::pair<TInstallerOption, const char16_t*> Names[] = {
      {ioAuto, u" AUTO"},         {ioSilent, u" SILENT"}, {ioPortable, u" PORTABLE"},
      {ioNoBackup, u" NOBACKUP"}, {ioRun, u" RUN"},       {ioUpdate, u" UPDATE"}};
  for (const auto& [option, name] : Names) {
    // What the uninstaller finds is told below; it updates nothing.
    if (option == ioUpdate && installer.Mode() == imUninstall) continue;
    if (installer.HasOption(option)) options += name;
  }
  if (installer.MessageBoxesSuppressed()) options += u" SUPPRESSMSGBOXES";
  TInstallerLog::Write(u"Mode: " + mode + u"; options:" + (options.empty() ? u" none" : options));
  if (!installer.DestPath().empty()) {
    TInstallerLog::Write(u"Destination: " + installer.DestPath());
  }
  TInstallerProductInfo& product = installer.ProductInfo();
  TInstallerLog::Write(u"Product: " + product.GetName() + u" " + product.GetVersion());
  TInstallerLog::Write(u"Installed version found: " + (product.GetInstalledVersion() == 0
                                                           ? String(u"none")
                                                           : product.GetInstalledVersionText()));
}

void ShowErrorBox(StringView message) {
  if (MessageBoxesSuppressed()) return;
  platform::ShowMessageBox(InstallerOwnerWindow(), message, u"Setup",
                           platform::MessageBoxOk | platform::MessageBoxIconError);
}

// A failure of the run: logged, and shown unless boxes are suppressed.
void ReportError(StringView message) {
  TInstallerLog::WriteError(message);
  ShowErrorBox(message);
}

// Whether this program runs from the temporary folder, or from a folder that
// CreateUninstallerCopyFolder made there: where the uninstaller's copy runs.
bool RunsFromTheTemporaryFolder() {
  const String program_folder =
      WithDelimiter(platform::ExtractFilePath(platform::GetProgramFileName()));
  const String temporary_folder = platform::TemporaryFolder();
  if (SameName(temporary_folder, program_folder)) return true;
  const String parent =
      platform::ExtractFilePath(platform::ExcludeTrailingPathDelimiter(program_folder));
  return SameName(temporary_folder, WithDelimiter(parent)) &&
         platform::IsUniquePrivateFolderName(
             platform::ExtractFileName(platform::ExcludeTrailingPathDelimiter(program_folder)),
             UninstallerCopyFolderPrefix);
}

// The run itself, steps 2 to 10; returns the exit code.
int RunSteps() {
  if (ProductInfoClass == nullptr) throw EInstallerGeneralError(u"ProductInfoClass is nil");

  if (platform::GetWindowsVersion().Major >= 6) {
    String skip_uac;
    if (GetSwitch(argument_text, u"SKIPUAC", skip_uac)) {
      // The handle of the first process's spawn window; HWNDs keep 32 significant bits.
      TInstallerSpawnService::Initialize(
          reinterpret_cast<platform::NativeWindow>(static_cast<intptr_t>(IntegerOrZero(skip_uac))));
    } else if (!platform::IsUserAdministrator()) {
      uint32_t exit_code = 0;
      TInstallerLog::Write(u"Starting an elevated copy");
      // The copy did the work (or the user declined); this process only waited for it.
      if (!RelaunchElevated(argument_text, exit_code)) {
        TInstallerLog::Write(u"The request for administrator rights was declined");
        return ExitCancelled;
      }
      return static_cast<int>(exit_code);
    }
  }
  if (!platform::IsUserAdministrator()) throw EInstallerNoAdminRightsError();

  TInstaller installer(argument_text);

  // The uninstaller's copy in the temporary folder is told the installation folder; the
  // uninstaller started from that folder only hands over to such a copy.
  String uninstall_path;
  const bool uninstaller_copy = installer.Mode() == imUninstall &&
                                GetSwitch(argument_text, u"PATH", uninstall_path) &&
                                platform::FolderExists(uninstall_path);
  if (uninstaller_copy) {
    installer.SetDestPath(uninstall_path);
    uninstalled_folder = installer.DestPath();
  }
  LogRun(installer);

  // Taken before anything is touched. The uninstaller's copy runs on its first process's lock,
  // which waits for it.
  platform::NamedMutex run_lock;
  if (!HasSwitch(argument_text, u"CALLER") &&
      !platform::NamedMutex::TryAcquire(RunLockName(installer.ProductInfo().GetName()), run_lock)) {
    ReportError(
        FormatText(u"Another setup or uninstaller of %s is running. Try again when it "
                   u"has ended.",
                   {installer.ProductInfo().GetName()}));
    return ExitAnotherRunActive;
  }

  if (installer.Mode() == imUninstall && !uninstaller_copy) {
    // A copy that lost its PATH must not start yet another copy.
    if (RunsFromTheTemporaryFolder()) throw EInstallerMysteryError(u"Cannot Start the Uninstaller");
    return StartUninstallerCopy();
  }

  IInstallerUserInterface* user_interface = InstallerUserInterface();
  if (user_interface != nullptr) user_interface->InitializeApplication();
  installer.Resources().InitializeLanguages();
  TInstallerLog::Write(u"Language: " + installer.Resources().LanguageName());

  if (installer.HasOption(ioSilent)) {
    installer.Start(true);
    if (installer.HasErrors()) {
      String errors = installer.Errors().GetText();
      while (!errors.empty() && (errors.back() == u'\n' || errors.back() == u'\r')) {
        errors.pop_back();
      }
      // Each error is in the log already.
      ShowErrorBox(errors);
      return ExitFailed;
    }
    installer.RunPostActions();
    return installer.RestartNeeded() ? ExitRestartRequired : ExitSuccess;
  }
  if (user_interface == nullptr) {
    throw EInstallerMysteryError(
        u"This setup program has no wizard: start it with /AUTO and /SILENT.");
  }
  const int exit_code = user_interface->RunWizard();
  return exit_code == ExitSuccess && installer.RestartNeeded() ? ExitRestartRequired : exit_code;
}

// The copy's part of an uninstallation once its run has ended: deletes the uninstaller that the
// first process ran from and the installation folder when nothing else is left in it. A file
// or folder that cannot go now goes at the next restart.
void RemoveUninstaller(StringView folder, bool caller_ended) {
  const String uninstaller =
      String(folder) + platform::ExtractFileName(platform::GetProgramFileName());
  bool uninstaller_pending = false;
  if (platform::FileExists(uninstaller)) {
    bool removed = false;
    for (int attempt = 0; caller_ended && attempt < UninstallerDeleteAttempts; ++attempt) {
      if (attempt > 0) platform::Pause(UninstallerDeletePause);
      removed = platform::RemoveFile(uninstaller);
      if (removed) break;
    }
    uninstaller_pending = !removed && platform::ScheduleDeleteAtRestart(uninstaller);
  }
  std::vector<platform::FolderEntry> entries;
  if (!platform::ListFolder(folder, entries)) return;
  // Files the user added, or the settings the player keeps, stay with their folder.
  const bool only_uninstaller_left =
      entries.size() == 1 && uninstaller_pending &&
      SameName(entries[0].Name, platform::ExtractFileName(uninstaller));
  if (!entries.empty() && !only_uninstaller_left) return;
  // Listed after the uninstaller, so a restart deletes the file before its folder.
  if (only_uninstaller_left || !platform::RemoveEmptyFolder(folder)) {
    // Without administrator rights nothing can be scheduled; an empty folder that stays is
    // harmless, and there is no one left to tell.
    static_cast<void>(platform::ScheduleDeleteAtRestart(folder));
  }
}

// The uninstaller's copy, started by the first process with CALLER: hands that process the
// result so that whoever waits for Uninstall.exe learns it, then, after a successful run,
// waits for it to end and removes the uninstaller it ran from.
void HandBackUninstallResult(int exit_code) {
  String caller_text;
  if (!GetSwitch(argument_text, u"CALLER", caller_text)) return;
  const auto caller_window =
      reinterpret_cast<platform::NativeWindow>(static_cast<intptr_t>(IntegerOrZero(caller_text)));
  if (caller_window == nullptr) return;
  // Opened before it has the result: after that it ends, and its number could name another
  // process by the time this one asked.
  platform::ChildProcess caller;
  const bool can_wait = platform::ChildProcess::OpenOfWindow(caller_window, caller);
  platform::SendWindowMessage(caller_window,
                              platform::RegisterWindowMessageName(UninstallResultMessageName),
                              static_cast<uintptr_t>(static_cast<uint32_t>(exit_code)), 0);
  // A failed or cancelled uninstallation leaves the product in place, and its uninstaller with it.
  if ((exit_code != ExitSuccess && exit_code != ExitRestartRequired) || uninstalled_folder.empty())
    return;
  const bool caller_ended = can_wait && caller.WaitForEnd(CallerEndTimeout);
  RemoveUninstaller(uninstalled_folder, caller_ended);
}

}  // namespace

int RunProgramEntry() {
  argument_text = GetCommandLineArgs();
  uninstalled_folder.clear();
  // Nothing else runs: help needs neither rights nor a package.
  if (HasSwitch(argument_text, u"?") || HasSwitch(argument_text, u"HELP")) {
    ShowHelp();
    return ExitSuccess;
  }
  String log_file;
  if (GetSwitch(argument_text, u"LOG", log_file) && TInstallerLog::Open(log_file)) {
    TInstallerLog::Write(u"Started: " + platform::GetProgramFileName());
    TInstallerLog::Write(u"Command line: " + argument_text);
  }
  int exit_code = ExitFailed;
  try {
    exit_code = RunSteps();
  } catch (const EOSError& error) {
    TInstallerLog::WriteSystemError(error.ErrorCode(), {});
    ReportError(error.Message());
  } catch (const Exception& error) {
    ReportError(error.Message());
  } catch (const std::exception& error) {
    // Not one of ours (a library's failure, memory exhausted): the same box with what the
    // library said, so an unattended run still ends with an honest code instead of a crash.
    ReportError(Utf8ToString(error.what()));
  }
  TInstallerLog::Write(u"Exit code: " + Decimal(exit_code));
  HandBackUninstallResult(exit_code);
  TInstallerSpawnService::Finalize();
  TInstallerLog::Close();
  return exit_code;
}

String RunLockName(StringView product_name) {
  String name = u"uInstaller.Run.";
  for (const char16_t c : product_name) {
    if (c != u' ') name.push_back(c);
  }
  return name;
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
  const String parameters =
      u"/SKIPUAC=" + Decimal(handle) + u" " + SwitchesForCopy() + String(arguments);
  String directory;
  // An empty directory lets the elevated copy start in the current one anyway.
  static_cast<void>(platform::GetCurrentFolder(directory));
  if (platform::RunElevatedAndWait(platform::GetProgramFileName(), parameters, directory,
                                   exit_code)) {
    return true;
  }
  const uint32_t error = platform::GetLastOSError();
  if (error == platform::ErrorElevationDeclined) return false;
  RaiseOSError(error);
}

int StartUninstallerCopy() {
  const String program = platform::GetProgramFileName();
  const String data_file = platform::ChangeFileExt(program, u".dat");
  const String folder = CreateUninstallerCopyFolder();
  String copy;
  try {
    copy = CopyToTempFolder(program, folder);
    CopyToTempFolder(data_file, folder);
  } catch (const EOSError&) {
    // Nothing half-made stays behind in the temporary folder.
    for (const String& file : {program, data_file}) {
      static_cast<void>(platform::RemoveFile(folder + platform::ExtractFileName(file)));
    }
    static_cast<void>(platform::RemoveEmptyFolder(folder));
    throw;
  }
  // Listed after the files, so that the restart finds the folder empty; named without the
  // trailing backslash, as the system names a folder it deletes.
  static_cast<void>(
      platform::ScheduleDeleteAtRestart(platform::ExcludeTrailingPathDelimiter(folder)));
  // No handle of the new process may point into the installation folder it is to remove.
  // The copy was just written there, so the folder exists; should the change still fail, the
  // cost is an installation folder that stays until the next restart, not a failed uninstall.
  static_cast<void>(platform::SetCurrentFolder(folder));

  // The copy's result arrives here while this process waits for it.
  const uint32_t result_message = platform::RegisterWindowMessageName(UninstallResultMessageName);
  std::optional<int> result;
  platform::MessageWindow caller_window(
      UninstallCallerClassName, [&](uint32_t message, uintptr_t first, intptr_t, intptr_t& answer) {
        if (message != result_message) return false;
        result = static_cast<int>(static_cast<uint32_t>(first));
        answer = 1;
        return true;
      });
  const auto handle = static_cast<int32_t>(reinterpret_cast<intptr_t>(caller_window.Handle()));
  const String parameters = u"/PATH=\"" + platform::ExtractFilePath(program) + u"\" /CALLER=" +
                            Decimal(handle) + u" " + SwitchesForCopy() + ProgramArgumentText();
  platform::ChildProcess copy_process;
  if (!platform::ChildProcess::Start(copy, parameters, u"", platform::ShowDefault, copy_process)) {
    throw EInstallerMysteryError(u"Cannot Start the Uninstaller");
  }
  // The shell gives a process for every program it starts; without one there is nothing to wait
  // for, and the copy runs on its own as it always could.
  if (!copy_process.IsValid()) return ExitSuccess;
  // Whoever waits for Uninstall.exe (a deployment tool, the list of installed programs) learns
  // the outcome only once the copy has done the work. The copy hands its result over and then
  // waits for this process to end before it deletes Uninstall.exe; a copy that died without a
  // word is judged by its own exit code.
  // How the wait ended does not matter: the handed-over result or the exit code below tells.
  static_cast<void>(copy_process.WaitServingSentMessages([&] { return result.has_value(); }));
  if (result) return *result;
  uint32_t exit_code = 0;
  return copy_process.GetExitCode(exit_code) ? static_cast<int>(exit_code) : ExitFailed;
}

String CreateUninstallerCopyFolder() {
  const String temporary_folder = platform::TemporaryFolder();
  String folder;
  if (!platform::CreateUniquePrivateFolder(temporary_folder, UninstallerCopyFolderPrefix, folder)) {
    RaiseLastOSError(temporary_folder + UninstallerCopyFolderPrefix);
  }
  return folder;
}

String CopyToTempFolder(StringView source, StringView folder) {
  const String destination = String(folder) + platform::ExtractFileName(source);
  if (!platform::CopyFileTo(source, destination, false)) {
    RaiseLastOSError(String(source) + u" -> " + destination);
  }
  // Only an administrator can schedule it; otherwise the copy stays in the temporary folder,
  // which is where leftovers are expected.
  static_cast<void>(platform::ScheduleDeleteAtRestart(destination));
  return destination;
}

// Controls of the host (POSIX) implementation of the platform layer, for tests only.
//
// On Linux the platform layer is a faithful test double of Windows: it keeps the state a test
// needs to arrange (the command line, answers to message boxes) and records what the program
// did. Windows builds have no such controls; tests that use them are host tests.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/registry.h"
#include "platform/resource.h"
#include "platform/shell_folders.h"
#include "platform/system.h"
#include "platform/text.h"

namespace platform {

class HostDouble {
 public:
  struct MessageBoxRecord {
    NativeWindow Owner;
    String Text;
    String Caption;
    unsigned Style;
  };

  // Places drive X: of Windows paths at a Linux folder (see ToHostPath).
  static void SetDriveRoot(char16_t drive, const std::string& native_folder);

  // The command line GetProcessCommandLine reports, program path included.
  static void SetProcessCommandLine(StringView command_line);

  // The program path GetProgramFileName reports; an empty one restores the test program's own.
  static void SetProgramFileName(StringView file_name);

  // The message boxes shown since the last call, oldest first.
  static std::vector<MessageBoxRecord> TakeMessageBoxes();

  // The system's ANSI code page the double reports (1252 by default).
  static void SetAnsiCodePage(unsigned code_page);

  // An RCDATA resource of a module (null: the program's own), as FindDataResource finds it.
  static void SetDataResource(NativeModule module, StringView name, std::vector<uint8_t> bytes);
  static void RemoveDataResources();

  // Elevated starts ("runas"): what was asked, and how the test's copy answers. Without a
  // handler the user declines.
  struct Elevation {
    String File;
    String Parameters;
    String Directory;
  };
  struct ElevationResult {
    bool Started;
    uint32_t Error;     // when not started
    uint32_t ExitCode;  // when started, after the copy ended
  };
  static void SetElevationHandler(std::function<ElevationResult(const Elevation&)> handler);
  static std::vector<Elevation> TakeElevations();

  // What ShellOpen was asked to start, since the last call, oldest first.
  struct ShellExecution {
    String File;
    String Parameters;
    String Directory;
    int ShowCommand;
  };
  static std::vector<ShellExecution> TakeShellExecutions();
  // The next ShellOpen fails, as when the file cannot be started.
  static void RefuseNextShellExecution();

  // Queues the answer of the next message box; without one a box answers OK.
  static void AnswerNextMessageBox(int answer);

  // Clock: GetCurrentLocalTime reports this moment until it is released.
  static void FixLocalTime(const LocalTime& time);
  static void ReleaseLocalTime();

  // Environment, with Wine's variables for the double's user. The user is the Linux user, as
  // under Wine, unless a test names another; the shell folders follow the name.
  static void SetUserName(StringView name);
  static void SetEnvironmentValue(StringView name, StringView value);
  static void RemoveEnvironmentValue(StringView name);
  static void ResetEnvironment();

  // File system. A running program's file can be renamed but neither deleted nor written. The
  // deletions asked for at the next restart, as full paths, oldest first.
  static void SetProgramRunning(StringView path, bool running);
  static std::vector<String> TakeRestartDeletes();
  // The (source, target) pairs ScheduleReplaceAtRestart asked for since the last call.
  static std::vector<std::pair<String, String>> TakeRestartReplacements();

  // Libraries: fake library files by full path, each export a function; what was done to them.
  enum class LibraryEventKind { Load, Call, Unload };
  struct LibraryEvent {
    LibraryEventKind Kind;
    String LibraryPath;
    std::string ExportName;  // of a call
    String CurrentFolder;    // at that moment
    unsigned ErrorMode;      // at that moment
  };
  static void AddLibrary(StringView path, std::map<std::string, std::function<void()>> exports);
  static void RemoveLibraries();
  static std::vector<LibraryEvent> TakeLibraryEvents();

  // Registry: an empty machine hive and the current user's hive (HKEY_USERS\S-1-5-21-0-0-0-1000,
  // as under Wine). The values of a key in the order they were first written, as Windows keeps
  // them (Wine lists them sorted); empty for a missing key.
  struct RegistryValueRecord {
    String Name;
    RegistryValue Value;
  };
  static void ResetRegistry();
  static std::vector<RegistryValueRecord> RegistryValues(RegistryRoot root, StringView path);

  // Shell folders: Wine's folders for the double's user, unless moved or made to fail.
  static void SetShellFolder(ShellFolder folder, StringView path);
  static void FailShellFolder(ShellFolder folder);
  static void ResetShellFolders();

  // System: Windows 10, an administrator, US English (0x0409) until changed.
  static void SetWindowsVersion(WindowsVersion version);
  static void SetUserAdministrator(bool administrator);
  static void SetUserInterfaceLanguage(uint16_t language);
  static void ResetSystem();

  // Top-level windows, each of a process with its executable; a process without an executable
  // path stands for one this user may not open.
  struct WindowRecord {
    String ClassName;
    String Caption;
    uint32_t ProcessId;
    String ExecutablePath;
  };
  static NativeWindow AddWindow(const WindowRecord& window);
  static void RemoveWindow(NativeWindow window);
  static void RemoveWindows();

  // Failure injection: the Nth (1 = the next) call of a kind of file operation, counted from
  // now, fails with Error and changes nothing; later ones succeed again. Open counts every
  // File::Open (for reading or writing; CopyFileTo and shell links open files that way too),
  // Read and Write every File call that moves bytes, Move MovePath and MoveFileReplacing, Delete
  // RemoveFile. Making a temporary file's name is not counted.
  enum class FileOperation { Open, Read, Write, Move, Delete };
  static void FailFileOperation(FileOperation operation, int nth, uint32_t error);
  static void ClearFileFailures();

  // Virtual time: Pause returns at once and only advances MonotonicMilliseconds; the pauses
  // asked for since the last call, in milliseconds, oldest first.
  static void UseVirtualTime(bool virtual_time);
  static std::vector<uint32_t> TakePauses();

  // Close requests (RequestWindowClose): a window closes (disappears) when asked, unless told to
  // refuse (it then answers, so the request is true, but stays); the windows asked since the
  // last call, oldest first.
  static void SetWindowRefusesToClose(NativeWindow window, bool refuses);
  static std::vector<NativeWindow> TakeCloseRequests();

  // Programs started with RunProgramAndWait: the command lines since the last call, oldest
  // first. A handler runs in place of the program (it may change files, as the program would)
  // and answers whether it started; without one the start succeeds, as long as the program's
  // file exists (a bare name, which Windows would search for, counts as found), and the program
  // does nothing.
  static std::vector<String> TakeStartedPrograms();
  static void SetProgramHandler(std::function<bool(StringView command_line)> handler);

  // How many association-change notices the shell was sent since the last call.
  static int TakeAssociationNotifications();

  // GetTempFolder and the temporary-file names fail from now on (true) or work again.
  static void FailTempFolder(bool fail);

  // Decides the answers of message boxes from now on (null: back to queued answers); it runs
  // when a box would be shown, so it can also change the world meanwhile, as a user would.
  static void SetMessageBoxHandler(std::function<int(const MessageBoxRecord&)> handler);
};

}  // namespace platform

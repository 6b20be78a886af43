// The program entry's branches: refusals, elevation and the spawn hand-back, the uninstaller
// moving itself out of its folder, the silent run, and the one error box with its exit code.
// Wine runs everyone as an administrator, so the host double plays the user without rights and
// the elevated copy.
#include "core/program_entry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/exit_codes.h"
#include "core/installer.h"
#include "core/installer_action_extract.h"
#include "core/installer_errors.h"
#include "core/installer_log.h"
#include "core/installer_spawn_service.h"
#include "core/installer_test_fixture.h"
#include "core/installer_user_interface.h"
#include "package/setup_package_builder.h"
#include "platform/change_observer.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/host_double.h"
#include "platform/host_double_child_process.h"
#include "platform/message_window.h"
#include "platform/named_mutex.h"
#include "platform/os_error.h"
#include "platform/private_folder.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shell_execute.h"
#include "platform/shell_folders.h"
#include "support/file_stream.h"

namespace {

using platform::HostDouble;
using platform::HostDoubleChildProcess;

String Decimal(intptr_t value) {
  return Utf8ToString(std::to_string(static_cast<int32_t>(value)));
}

// The window a process names in its switch CALLER, from that process's parameters.
platform::NativeWindow CallerIn(StringView parameters) {
  const size_t start = parameters.find(u"/CALLER=");
  if (start == StringView::npos) return nullptr;
  const std::string digits =
      StringToUtf8(parameters.substr(start + 8, parameters.find(u' ', start) - start - 8));
  return reinterpret_cast<platform::NativeWindow>(static_cast<intptr_t>(std::stoi(digits)));
}

class ProgramEntry : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    saved_program_ = platform::GetProgramFileName();
    HostDouble::TakeMessageBoxes();
    HostDouble::TakeShellExecutions();
    HostDouble::TakeElevations();
    HostDouble::TakeRestartDeletes();
    HostDoubleChildProcess::Reset();
    temp_ = platform::TemporaryFolder();
    ASSERT_TRUE(platform::CreateFolderWithParents(temp_));
    // The temporary folder outlives a test when the whole binary runs in one process.
    earlier_copy_folders_ = CopyFolders();
  }
  void TearDown() override {
    HostDoubleChildProcess::Reset();
    HostDouble::UseVirtualTime(false);
    HostDouble::SetElevationHandler(nullptr);
    HostDouble::ResetSystem();
    HostDouble::SetProgramFileName(saved_program_);
    InstallerTest::TearDown();
  }

  int Run(StringView arguments) {
    HostDouble::SetProcessCommandLine(u"\"C:\\Downloads\\setup.exe\" " + String(arguments));
    return RunProgramEntry();
  }

  // The single box the run ended with, or an empty text when there was none.
  String OnlyBox() {
    const auto boxes = HostDouble::TakeMessageBoxes();
    if (boxes.empty()) return String();
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Caption, u"Setup");
    EXPECT_EQ(boxes[0].Style, platform::MessageBoxOk | platform::MessageBoxIconError);
    return boxes[0].Text;
  }

  // The program runs as Uninstall.exe in Folder, with its data file.
  void BecomeUninstallerIn(StringView folder) {
    ASSERT_TRUE(platform::CreateFolderWithParents(folder));
    TSetupPackageBuilder builder;
    const std::string ini = "[Uninstall]\r\nCount=0\r\n";
    TMemoryStream content(std::vector<uint8_t>(ini.begin(), ini.end()));
    builder.AddFile(content, u"Uninstall.ini");
    builder.SaveToFile(String(folder) + u"Uninstall.dat", 4);
    TMemoryStream program(std::vector<uint8_t>{'M', 'Z'});
    TFileStream exe(String(folder) + u"Uninstall.exe", fmCreate);
    exe.CopyFrom(program, 0);
    HostDouble::SetProgramFileName(String(folder) + u"Uninstall.exe");
  }

  void WriteTemp(StringView name, const std::string& bytes) {
    TMemoryStream content(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    TFileStream file(temp_ + String(name), fmCreate);
    file.CopyFrom(content, 0);
  }
  std::string ReadTemp(StringView name) {
    TFileStream file(temp_ + String(name), fmOpenRead);
    std::string bytes(static_cast<size_t>(file.Size()), '\0');
    EXPECT_EQ(file.Read(bytes.data(), file.Size()), file.Size());
    return bytes;
  }

  // The folders of uninstaller copies that this test made in the temporary folder, with
  // trailing backslashes.
  std::vector<String> CopyFolders() {
    std::vector<platform::FolderEntry> entries;
    EXPECT_TRUE(platform::ListFolder(temp_, entries));
    std::vector<String> folders;
    for (const auto& entry : entries) {
      const String folder = temp_ + entry.Name + u"\\";
      if (entry.IsFolder &&
          platform::IsUniquePrivateFolderName(entry.Name, UninstallerCopyFolderPrefix) &&
          std::find(earlier_copy_folders_.begin(), earlier_copy_folders_.end(), folder) ==
              earlier_copy_folders_.end()) {
        folders.push_back(folder);
      }
    }
    return folders;
  }
  // The one copy folder a run made.
  String OnlyCopyFolder() {
    const std::vector<String> folders = CopyFolders();
    EXPECT_EQ(folders.size(), 1u);
    return folders.empty() ? String() : folders[0];
  }

  String saved_program_;
  String temp_;
  std::vector<String> earlier_copy_folders_;
};

TEST_F(ProgramEntry, WithoutAProductClassShowsTheSetupErrorBoxAndFails) {
  ProductInfoClass = nullptr;
  EXPECT_EQ(Run(u"/AUTO /SILENT"), ExitFailed);
  EXPECT_EQ(OnlyBox(), u"ProductInfoClass is nil");
  EXPECT_EQ(ProgramArgumentText(), u"/AUTO /SILENT");
}

TEST_F(ProgramEntry, AUserWithoutRightsRunsAnElevatedCopyAndEndsWithItsExitCode) {
  HostDouble::SetUserAdministrator(false);
  HostDouble::Elevation seen;
  platform::NativeWindow spawn_window = nullptr;
  HostDouble::SetElevationHandler([&](const HostDouble::Elevation& request) {
    seen = request;
    spawn_window = platform::FindMessageWindow(u"TInstallerSpawnService");
    return HostDouble::ElevationResult{true, 0, 3010};
  });
  EXPECT_EQ(Run(u"/AUTO=\"C:\\Apps\\ZELO\\\" /SILENT"), 3010);
  EXPECT_EQ(OnlyBox(), u"");
  EXPECT_EQ(seen.File, platform::GetProgramFileName());
  const String window =
      Utf8ToString(std::to_string(static_cast<int32_t>(reinterpret_cast<intptr_t>(spawn_window))));
  EXPECT_NE(spawn_window, nullptr);
  EXPECT_EQ(seen.Parameters, u"/SKIPUAC=" + window + u" /AUTO=\"C:\\Apps\\ZELO\\\" /SILENT");
}

TEST_F(ProgramEntry, WithoutArgumentsTheRelaunchParametersEndInOneBlank) {
  HostDouble::SetUserAdministrator(false);
  HostDouble::SetElevationHandler([](const HostDouble::Elevation&) {
    return HostDouble::ElevationResult{true, 0, 0};
  });
  EXPECT_EQ(Run(u""), ExitSuccess);
  const auto elevations = HostDouble::TakeElevations();
  ASSERT_EQ(elevations.size(), 1u);
  EXPECT_TRUE(elevations[0].Parameters.starts_with(u"/SKIPUAC="));
  EXPECT_EQ(elevations[0].Parameters.back(), u' ');
  EXPECT_EQ(elevations[0].Parameters.find(u' '), elevations[0].Parameters.size() - 1);
}

TEST_F(ProgramEntry, DecliningElevationEndsQuietlyAsCancelled) {
  HostDouble::SetUserAdministrator(false);
  EXPECT_EQ(Run(u"/AUTO /SILENT"), ExitCancelled);
  EXPECT_EQ(OnlyBox(), u"");
}

TEST_F(ProgramEntry, AnElevationThatFailsOtherwiseShowsTheSystemsReason) {
  HostDouble::SetUserAdministrator(false);
  HostDouble::SetElevationHandler([](const HostDouble::Elevation&) {
    return HostDouble::ElevationResult{false, platform::ErrorAccessDenied, 0};
  });
  EXPECT_EQ(Run(u""), ExitFailed);
  EXPECT_EQ(OnlyBox(), u"Access is denied.");
}

TEST_F(ProgramEntry, BeforeVistaThereIsNoElevationOnlyTheRefusal) {
  HostDouble::SetWindowsVersion({5, 1, 2600});
  HostDouble::SetUserAdministrator(false);
  EXPECT_EQ(Run(u"/SKIPUAC=123 /AUTO /SILENT"), ExitFailed);
  EXPECT_EQ(OnlyBox(), u"Administrator rights are required to process this operation.");
  EXPECT_TRUE(HostDouble::TakeElevations().empty());
}

TEST_F(ProgramEntry, TheElevatedCopySendsPostInstallCommandsToTheFirstProcess) {
  // The first process's spawn window, as it would exist in the other process.
  const uint32_t token = platform::RegisterWindowMessageName(u"SpawnToken");
  std::vector<String> requests;
  platform::MessageWindow first_process(
      u"FirstProcessSpawnWindow", [&](uint32_t message, uintptr_t, intptr_t second, intptr_t&) {
        const auto* record = reinterpret_cast<const platform::CopyData*>(second);
        if (message == platform::MessageCopyData && record->Number == token) {
          requests.emplace_back(static_cast<const char16_t*>(record->Data), record->Size / 2);
        }
        return false;
      });
  const String handle = Utf8ToString(
      std::to_string(static_cast<int32_t>(reinterpret_cast<intptr_t>(first_process.Handle()))));
  // An updatable installation with RUN: every post-install command starts after a silent run.
  FakeProductInfo::State().InstalledVersion = 4512;
  EXPECT_EQ(Run(u"/SKIPUAC=" + handle + u" /AUTO=\"" + folder_.Path() + u"\" /RUN /SILENT"),
            ExitSuccess);
  EXPECT_EQ(OnlyBox(), u"");
  EXPECT_EQ(requests,
            (std::vector<String>{folder_.Path() + u"\\ZELO.exe", u"https://zelo.example/"}));
  EXPECT_TRUE(HostDouble::TakeShellExecutions().empty());
}

TEST_F(ProgramEntry, AnUnreadableSkipUacValueMakesTheCopySpawnThroughTheShell) {
  FakeProductInfo::State().InstalledVersion = 4512;
  EXPECT_EQ(Run(u"/SKIPUAC=abc /AUTO=\"" + folder_.Path() + u"\" /RUN /SILENT"), ExitSuccess);
  const auto started = HostDouble::TakeShellExecutions();
  ASSERT_EQ(started.size(), 2u);
  EXPECT_TRUE(started[0].File.ends_with(u"explorer.exe"));
}

TEST_F(ProgramEntry, ASilentRunWithErrorsShowsThemAllAndFails) {
  FakeProductInfo::State().Actions = {&TInstallerActionClass::Of<ScriptedAction<0>>()};
  ScriptedAction<0>::Body() = [](TInstallerAction&) {
    throw EInstallerInstallError(u"The file C:\\x could not be written.");
  };
  EXPECT_EQ(Run(u"/AUTO=\"" + folder_.Path() + u"\" /SILENT"), ExitFailed);
  EXPECT_EQ(OnlyBox(), u"The file C:\\x could not be written.");
}

TEST_F(ProgramEntry, AnUpdateIsRefusedWhenNothingCanBeUpdated) {
  EXPECT_EQ(Run(u"/AUTO=\"" + folder_.Path() + u"\" /UPDATE /SILENT"), ExitFailed);
  EXPECT_EQ(OnlyBox(), u"Cannot install update on v0.00");
}

TEST_F(ProgramEntry, TheUninstallerMovesItselfToTheTemporaryFolderFirst) {
  const String installation = folder_.PathOf(u"Apps\\ZELO\\");
  BecomeUninstallerIn(installation);
  platform::NativeWindow caller_of_class = nullptr;
  HostDoubleChildProcess::SetProgram([&](const HostDoubleChildProcess::Start&) {
    caller_of_class = platform::FindMessageWindow(UninstallCallerClassName);
    return 0u;
  });
  EXPECT_EQ(Run(u"/AUTO /SILENT"), ExitSuccess);
  EXPECT_EQ(OnlyBox(), u"");
  const String copy_folder = OnlyCopyFolder();
  const auto started = HostDoubleChildProcess::TakeStarts();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].File, copy_folder + u"Uninstall.exe");
  ASSERT_NE(caller_of_class, nullptr);
  EXPECT_EQ(started[0].Parameters, u"/PATH=\"" + installation + u"\" /CALLER=" +
                                       Decimal(reinterpret_cast<intptr_t>(caller_of_class)) +
                                       u" /AUTO /SILENT");
  EXPECT_EQ(started[0].ShowCommand, platform::ShowDefault);
  EXPECT_TRUE(platform::FileExists(copy_folder + u"Uninstall.dat"));
  // The files first, so that the restart finds their folder empty.
  const auto deletes = HostDouble::TakeRestartDeletes();
  EXPECT_EQ(deletes,
            (std::vector<String>{copy_folder + u"Uninstall.exe", copy_folder + u"Uninstall.dat",
                                 platform::ExcludeTrailingPathDelimiter(copy_folder)}));
  String current;
  ASSERT_TRUE(platform::GetCurrentFolder(current));
  EXPECT_EQ(platform::IncludeTrailingPathDelimiter(current), copy_folder);
}

// Whoever could write into the temporary folder before the uninstaller ran (any program of the
// user) finds nothing of theirs used: files of the copy's names stay unread and unstarted, and
// each run has a folder of its own that nobody could make before it.
TEST_F(ProgramEntry, TheUninstallersCopyIgnoresWhatWasPlantedInTheTemporaryFolder) {
  BecomeUninstallerIn(folder_.PathOf(u"Apps\\ZELO\\"));
  WriteTemp(u"Uninstall.exe", "planted program");
  WriteTemp(u"Uninstall.dat", "planted data");
  WriteTemp(u"version.dll", "planted library");
  std::vector<String> started_files;
  for (int run = 0; run < 2; ++run) {
    EXPECT_EQ(Run(u"/AUTO /SILENT"), ExitSuccess);
    EXPECT_EQ(OnlyBox(), u"");
    for (const auto& start : HostDoubleChildProcess::TakeStarts())
      started_files.push_back(start.File);
  }
  ASSERT_EQ(started_files.size(), 2u);
  EXPECT_NE(platform::ExtractFilePath(started_files[0]),
            platform::ExtractFilePath(started_files[1]));
  for (const String& file : started_files) {
    EXPECT_NE(platform::ExtractFilePath(file), temp_) << StringToUtf8(file);
    EXPECT_FALSE(platform::FileExists(platform::ExtractFilePath(file) + u"version.dll"));
  }
  EXPECT_EQ(ReadTemp(u"Uninstall.exe"), "planted program");
  EXPECT_EQ(ReadTemp(u"Uninstall.dat"), "planted data");
}

// A copy that cannot be made completely leaves nothing in the temporary folder and runs nothing.
TEST_F(ProgramEntry, AnUninstallerWhoseDataCannotBeCopiedLeavesNoFolderBehind) {
  BecomeUninstallerIn(folder_.PathOf(u"Apps\\ZELO\\"));
  // Once the copy's folder is there, the third file opened (the data file, after the program
  // and its copy) cannot be opened.
  platform::SetChangeObserver([](platform::Change change, StringView subject, StringView) {
    if (change == platform::Change::FolderCreated &&
        subject.find(UninstallerCopyFolderPrefix) != StringView::npos) {
      HostDouble::FailFileOperation(HostDouble::FileOperation::Open, 3,
                                    platform::ErrorSharingViolation);
    }
  });
  const int exit_code = Run(u"/AUTO /SILENT");
  platform::SetChangeObserver(nullptr);
  HostDouble::ClearFileFailures();
  EXPECT_EQ(exit_code, ExitFailed);
  EXPECT_NE(OnlyBox().find(u"Uninstall.dat -> "), String::npos);
  EXPECT_TRUE(HostDoubleChildProcess::TakeStarts().empty());
  EXPECT_EQ(CopyFolders(), std::vector<String>{});
}

// Whoever waits for Uninstall.exe learns what became of the uninstallation, not merely that
// the copy started: the result the copy hands over, else the code the copy ended with.
TEST_F(ProgramEntry, TheUninstallerEndsWithItsCopysResult) {
  struct Case {
    const char* Title;
    std::optional<uint32_t> Handed;  // what the copy hands over, if anything
    uint32_t CopyExitCode;
    int Expected;
  };
  const Case cases[] = {
      {"Success", 0u, 0u, ExitSuccess},
      {"Failure", 1603u, 1603u, ExitFailed},
      {"Cancelled", 1602u, 1602u, ExitCancelled},
      // The copy's process still runs (it removes the uninstaller) when the result arrives.
      {"TheHandedResultIsTheAnswer", 1603u, 0u, ExitFailed},
      {"DiedWithoutAWord", std::nullopt, 0xC0000005u, static_cast<int>(0xC0000005u)},
      {"EndedWithoutAWord", std::nullopt, 1603u, ExitFailed},
  };
  BecomeUninstallerIn(folder_.PathOf(u"Apps\\ZELO\\"));
  for (const Case& one : cases) {
    SCOPED_TRACE(one.Title);
    HostDoubleChildProcess::SetProgram([&](const HostDoubleChildProcess::Start& start) {
      if (one.Handed) {
        const intptr_t answer = platform::SendWindowMessage(
            CallerIn(start.Parameters),
            platform::RegisterWindowMessageName(UninstallResultMessageName), *one.Handed, 0);
        EXPECT_EQ(answer, 1);
      }
      return one.CopyExitCode;
    });
    EXPECT_EQ(Run(u"/AUTO /SILENT"), one.Expected);
    EXPECT_EQ(OnlyBox(), u"");
    EXPECT_EQ(HostDoubleChildProcess::TakeStarts().size(), 1u);
  }
}

TEST_F(ProgramEntry, AnUninstallerCopyThatCannotBeStartedIsAFailureNotASuccess) {
  BecomeUninstallerIn(folder_.PathOf(u"Apps\\ZELO\\"));
  HostDoubleChildProcess::RefuseNextStart(platform::ErrorAccessDenied);
  EXPECT_EQ(Run(u"/AUTO /SILENT"), ExitFailed);
  EXPECT_EQ(OnlyBox(), u"Cannot Start the Uninstaller");
}

// Without a temporary folder the uninstaller has nowhere to move to; an empty folder would
// make it copy itself to the drive's root.
TEST_F(ProgramEntry, AnUninstallerWithoutATemporaryFolderFailsAndCopiesNothing) {
  BecomeUninstallerIn(folder_.PathOf(u"Apps\\ZELO\\"));
  HostDouble::FailTempFolder(true);
  const int exit_code = Run(u"/AUTO /SILENT");
  HostDouble::FailTempFolder(false);
  EXPECT_EQ(exit_code, ExitFailed);
  EXPECT_NE(OnlyBox(), u"");
  EXPECT_TRUE(HostDoubleChildProcess::TakeStarts().empty());
  EXPECT_FALSE(platform::FileExists(u"C:\\Uninstall.exe"));
  EXPECT_FALSE(platform::FileExists(u"\\Uninstall.exe"));
}

// The copy in the temporary folder, started with CALLER: after its run it hands the result to
// the first process's window, and after a successful one removes the uninstaller the first
// process ran from, and the installation folder once nothing else is left in it.
TEST_F(ProgramEntry, TheCopyHandsItsResultBackAndRemovesTheUninstaller) {
  struct Case {
    const char* Title;
    std::function<void(const String& installation)> Arrange;
    int Expected;
    bool UninstallerStays;
    bool FolderStays;
    bool ForRestart;  // Uninstall.exe and the folder left to the next restart
  };
  const Case cases[] = {
      {"Success", [](const String&) {}, ExitSuccess, false, false, false},
      {"AFailedRunKeepsTheUninstaller",
       [](const String&) {
         FakeProductInfo::State().Actions = {&TInstallerActionClass::Of<ScriptedAction<0>>()};
         ScriptedAction<0>::Body() = [](TInstallerAction&) {
           throw EInstallerInstallError(u"Cannot delete.");
         };
       },
       ExitFailed, true, true, false},
      {"FilesTheUserAddedKeepTheFolder",
       [this](const String&) { folder_.WriteFile(u"Case\\ZELO\\notes.txt", "mine"); }, ExitSuccess,
       false, true, false},
      {"ACallerThatKeepsRunningLeavesItToTheRestart",
       [](const String&) { HostDoubleChildProcess::SetWindowProcessesKeepRunning(true); },
       ExitSuccess, true, true, true},
      {"AnUninstallerThatCannotBeDeletedGoesAtTheRestart",
       [](const String& installation) {
         HostDouble::SetProgramRunning(installation + u"Uninstall.exe", true);
       },
       ExitSuccess, true, true, true},
  };
  BecomeUninstallerIn(temp_);
  HostDouble::UseVirtualTime(true);
  for (const Case& one : cases) {
    SCOPED_TRACE(one.Title);
    const String installation = folder_.PathOf(u"Case\\ZELO\\");
    std::filesystem::remove_all(folder_.NativePath(u"Case"));
    folder_.WriteFile(u"Case\\ZELO\\Uninstall.exe", "MZ");
    FakeProductInfo::State() = {};
    HostDoubleChildProcess::Reset();
    one.Arrange(installation);
    std::vector<uint32_t> handed;
    platform::MessageWindow caller(
        u"TestCaller", [&](uint32_t message, uintptr_t first, intptr_t, intptr_t& answer) {
          if (message != platform::RegisterWindowMessageName(UninstallResultMessageName)) {
            return false;
          }
          handed.push_back(static_cast<uint32_t>(first));
          answer = 1;
          return true;
        });
    EXPECT_EQ(Run(u"/PATH=\"" + installation + u"\" /CALLER=" +
                  Decimal(reinterpret_cast<intptr_t>(caller.Handle())) + u" /AUTO /SILENT"),
              one.Expected);
    OnlyBox();
    EXPECT_EQ(handed, (std::vector<uint32_t>{static_cast<uint32_t>(one.Expected)}));
    EXPECT_EQ(platform::FileExists(installation + u"Uninstall.exe"), one.UninstallerStays);
    EXPECT_EQ(platform::FolderExists(installation), one.FolderStays);
    const std::vector<String> for_restart =
        one.ForRestart ? std::vector<String>{installation + u"Uninstall.exe", installation}
                       : std::vector<String>{};
    EXPECT_EQ(HostDouble::TakeRestartDeletes(), for_restart);
    HostDouble::SetProgramRunning(installation + u"Uninstall.exe", false);
  }
}

TEST_F(ProgramEntry, TheCopyInTheTemporaryFolderUninstallsTheFolderNamedByPath) {
  BecomeUninstallerIn(temp_);
  EXPECT_EQ(Run(u"/PATH=\"" + folder_.Path() + u"\" /AUTO /SILENT"), ExitSuccess);
  EXPECT_EQ(OnlyBox(), u"");
  EXPECT_TRUE(HostDouble::TakeShellExecutions().empty());
}

// A copy that lost its PATH must not start yet another copy: refused where copies run, the
// temporary folder itself or a copy's own folder in it.
TEST_F(ProgramEntry, AnUninstallerInTheTemporaryFolderWithoutAValidPathRefuses) {
  struct Case {
    const char* Title;
    String Folder;
    String Switches;
  };
  const Case cases[] = {
      {"TheTemporaryFolder", temp_, u"/PATH=\"C:\\no\\such\\folder\\\" /AUTO /SILENT"},
      {"ACopysFolder", temp_ + u"Uninstall-0123456789abcdef\\",
       u"/PATH=\"C:\\no\\such\\folder\\\" /AUTO /SILENT"},
      {"ACopysFolderWithoutPath", temp_ + u"Uninstall-0123456789abcdef\\", u"/AUTO /SILENT"},
  };
  for (const Case& one : cases) {
    SCOPED_TRACE(one.Title);
    BecomeUninstallerIn(one.Folder);
    EXPECT_EQ(Run(one.Switches), ExitFailed);
    EXPECT_EQ(OnlyBox(), u"Cannot Start the Uninstaller");
    EXPECT_TRUE(HostDoubleChildProcess::TakeStarts().empty());
  }
}

// Refused before anything is written: neither relative to the current folder nor into a drive's
// root, whose clean-up on uninstall would reach the whole drive.
TEST_F(ProgramEntry, ADestinationThatIsNotAFolderOfItsOwnIsRefused) {
  struct Case {
    const char* Title;
    String Switches;
    String Box;
  };
  const Case cases[] = {
      {"Relative", u"/AUTO=Apps\\ZELO /SILENT",
       u"The destination folder \"Apps\\ZELO\\\" is not a full path: name its drive or network "
       u"share too."},
      {"ADrivesRoot", u"/AUTO=C:\\ /SILENT",
       u"The destination folder \"C:\\\" is the root of a drive or share: choose a folder in it."},
      {"ADrivesRootWrittenOtherwise", u"/AUTO=\"C:\\Apps\\..\\\" /SILENT",
       u"The destination folder \"C:\\\" is the root of a drive or share: choose a folder in it."},
  };
  FakeProductInfo::State().Actions = {&TInstallerActionExtract::Class()};
  for (const Case& one : cases) {
    SCOPED_TRACE(one.Title);
    EXPECT_EQ(Run(one.Switches), ExitFailed);
    EXPECT_EQ(OnlyBox(), one.Box);
    String current;
    ASSERT_TRUE(platform::GetCurrentFolder(current));
    EXPECT_FALSE(platform::FolderExists(platform::IncludeTrailingPathDelimiter(current) + u"Apps"));
    EXPECT_FALSE(platform::FileExists(u"C:\\ZELO.exe"));
    EXPECT_FALSE(platform::FileExists(u"C:\\Uninstall.exe"));
    EXPECT_EQ(FakeProductInfo::State().LoadCount, 0) << "the product looked at the folder";
  }
}

// A damaged "Install.xml" stops the run before anything is written, with a box that names the
// script and says what is wrong: read leniently, the script below would install ZELO.exe and
// then fail for the uninstaller, leaving half an installation behind.
TEST_F(ProgramEntry, ABrokenScriptIsRefusedBeforeAnythingIsWritten) {
  struct Case {
    const char* Title;
    std::string Script;
    String Problem;
  };
  const std::string start =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Install><product><Settings>"
      "<Setting name=\"ProductName\" value=\"ZELO\"/></Settings>\r\n<Components>"
      "<File name=\"$DEST\\ZELO.exe\">ZELO.exe</File>";
  const Case cases[] = {
      {"Empty", "", u"the file is empty"},
      {"NotXml", "<<<", u"a tag is not closed with \">\" before this \"<\" (line 1, column 2)"},
      {"Truncated", start, u"the file ends before </Components> closes <Components> (line 3, "},
      {"WrongClosingTag", start + "</Component></product></Install>",
       u"expected </Components> to close <Components>, found </Component> (line 3, "},
  };
  FakeProductInfo::State().Actions = {&TInstallerActionExtract::Class()};
  const String destination = folder_.PathOf(u"Product");
  for (const Case& one : cases) {
    SCOPED_TRACE(one.Title);
    TSetupPackageBuilder builder;
    TMemoryStream script(std::vector<uint8_t>(one.Script.begin(), one.Script.end()));
    builder.AddFile(script, u"Install.xml");
    TMemoryStream player(std::vector<uint8_t>{'M', 'Z'});
    builder.AddFile(player, u"ZELO.exe");
    TMemoryStream package;
    builder.Commit(package, 1);
    HostDouble::SetDataResource(nullptr, u"SETUP", package.Bytes());
    HostDouble::SetDataResource(nullptr, u"PRODUCT", package.TakeBytes());

    EXPECT_EQ(Run(u"/AUTO=\"" + destination + u"\" /SILENT"), ExitFailed);
    const String box = OnlyBox();
    const String prefix = u"Install.xml is not valid XML: ";
    EXPECT_TRUE(box.starts_with(prefix + one.Problem)) << StringToUtf8(box);
    EXPECT_FALSE(platform::FolderExists(destination));
    EXPECT_FALSE(platform::FileExists(u"C:\\Uninstall.exe"));
  }
}

TEST_F(ProgramEntry, HelpRunsNothingElseAndSucceeds) {
  // Without a product class any other run would fail at once.
  ProductInfoClass = nullptr;
  for (const StringView switches : {u"/?", u"-HELP", u"/AUTO /SILENT /help"}) {
    SCOPED_TRACE(StringToUtf8(switches));
    EXPECT_EQ(Run(switches), ExitSuccess);
    // The host has no caller's console, so the help is a box.
    const auto boxes = HostDouble::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Style, platform::MessageBoxOk | platform::MessageBoxIconInformation);
    for (const StringView wanted : {u"/SUPPRESSMSGBOXES", u"/LOG", u"/LANG", u"1618", u"3010"}) {
      EXPECT_NE(boxes[0].Text.find(wanted), String::npos) << StringToUtf8(wanted);
    }
  }
}

// With SUPPRESSMSGBOXES a silent run shows nothing at all; the exit code still tells.
TEST_F(ProgramEntry, SuppressedBoxesLeaveOnlyTheExitCode) {
  struct Case {
    const char* Title;
    String Switches;
    bool Box;
  };
  const String destination = u"/AUTO=\"" + folder_.Path() + u"\"";
  const Case cases[] = {
      {"AFailingRun", destination + u" /SILENT /SUPPRESSMSGBOXES", false},
      {"ARefusedDestination", u"/AUTO=C:\\ /SILENT -suppressmsgboxes", false},
      {"AnUpdateRefused", destination + u" /UPDATE /SILENT /SUPPRESSMSGBOXES", false},
      // Only a silent run can do without boxes.
      {"NotSilent", destination + u" /SUPPRESSMSGBOXES", true},
  };
  FakeProductInfo::State().Actions = {&TInstallerActionClass::Of<ScriptedAction<0>>()};
  ScriptedAction<0>::Body() = [](TInstallerAction&) {
    throw EInstallerInstallError(u"The file C:\\x could not be written.");
  };
  for (const Case& one : cases) {
    SCOPED_TRACE(one.Title);
    HostDouble::TakeMessageBoxes();
    const int exit_code = Run(one.Switches);
    if (one.Box) {
      EXPECT_FALSE(HostDouble::TakeMessageBoxes().empty());
    } else {
      EXPECT_EQ(exit_code, ExitFailed);
      EXPECT_TRUE(HostDouble::TakeMessageBoxes().empty());
    }
  }
}

TEST_F(ProgramEntry, AnotherRunOfTheProductMakesThisOneDoNothing) {
  FakeProductInfo::State().Actions = {&TInstallerActionClass::Of<ScriptedAction<0>>()};
  bool ran = false;
  ScriptedAction<0>::Body() = [&](TInstallerAction&) { ran = true; };
  const String switches = u"/AUTO=\"" + folder_.Path() + u"\" /SILENT";
  {
    platform::NamedMutex other_run;
    ASSERT_TRUE(platform::NamedMutex::TryAcquire(RunLockName(u"ZELO"), other_run));
    EXPECT_EQ(Run(switches), ExitAnotherRunActive);
    EXPECT_EQ(OnlyBox(),
              u"Another setup or uninstaller of ZELO is running. Try again when it has ended.");
    EXPECT_EQ(Run(switches + u" /SUPPRESSMSGBOXES"), ExitAnotherRunActive);
    EXPECT_EQ(OnlyBox(), u"");
    EXPECT_FALSE(ran);
  }
  // Each run lets go of the lock when it ends.
  EXPECT_EQ(Run(switches), ExitSuccess);
  EXPECT_EQ(Run(switches), ExitSuccess);
  EXPECT_TRUE(ran);
  EXPECT_EQ(RunLockName(u"My Player 2"), u"uInstaller.Run.MyPlayer2");
}

TEST_F(ProgramEntry, ARunThatLeavesWorkForTheRestartSaysSo) {
  FakeProductInfo::State().Actions = {&TInstallerActionClass::Of<ScriptedAction<0>>()};
  ScriptedAction<0>::Body() = [](TInstallerAction&) { Installer->NoteRestartNeeded(); };
  EXPECT_EQ(Run(u"/AUTO=\"" + folder_.Path() + u"\" /SILENT /NORESTART"), ExitRestartRequired);
  EXPECT_EQ(OnlyBox(), u"");
}

TEST_F(ProgramEntry, TheLogTellsTheRunAndItsEnd) {
  FakeProductInfo::State().Actions = {&TInstallerActionClass::Of<ScriptedAction<0>>()};
  ScriptedAction<0>::Body() = [](TInstallerAction&) {
    throw EInstallerInstallError(u"The file C:\\x could not be written.");
  };
  const String log = folder_.PathOf(u"logs\\run.log");
  EXPECT_EQ(
      Run(u"/AUTO=\"" + folder_.Path() + u"\" /SILENT /SUPPRESSMSGBOXES /LOG=\"" + log + u"\""),
      ExitFailed);
  EXPECT_FALSE(TInstallerLog::IsOpen()) << "the entry closes its log";
  const std::string text = folder_.ReadFile(u"logs\\run.log");
  for (const char* wanted :
       {"Command line: /AUTO=", "Mode: install; options: AUTO SILENT SUPPRESSMSGBOXES",
        "Action started: ", "Action failed: ", "Error: The file C:\\x could not be written.",
        "Exit code: 1603\r\n"}) {
    EXPECT_NE(text.find(wanted), std::string::npos) << wanted << " in\n" << text;
  }
}

TEST_F(ProgramEntry, WithoutTheWizardAnInteractiveRunExplainsItself) {
  EXPECT_EQ(Run(u""), ExitFailed);
  EXPECT_EQ(OnlyBox(), u"This setup program has no wizard: start it with /AUTO and /SILENT.");
}

// A user interface that records what the entry asked of it.
class RecordingUserInterface : public IInstallerUserInterface {
 public:
  void InitializeApplication() override { Calls.push_back("initialize"); }
  int ShowLanguageDialog(const std::vector<TInstallerLanguageEntry>& /*entries*/,
                         int preselected) override {
    Calls.push_back("language");
    return preselected;
  }
  int RunWizard() override {
    Calls.push_back("wizard");
    if (Fail) throw EInstallerGeneralError(u"Cannot locate \"header.png\" file in setup archive");
    return WizardExitCode;
  }
  platform::NativeWindow OwnerWindow() const override { return Window; }

  std::vector<std::string> Calls;
  int WizardExitCode = ExitCancelled;
  bool Fail = false;
  platform::NativeWindow Window = nullptr;
};

class ProgramEntryWithWizard : public ProgramEntry {
 protected:
  void SetUp() override {
    ProgramEntry::SetUp();
    SetInstallerUserInterface(&user_interface_);
  }
  void TearDown() override {
    SetInstallerUserInterface(nullptr);
    ProgramEntry::TearDown();
  }

  RecordingUserInterface user_interface_;
};

TEST_F(ProgramEntryWithWizard, AnInteractiveRunEndsWithTheWizardsCode) {
  EXPECT_EQ(Run(u""), ExitCancelled);
  EXPECT_EQ(user_interface_.Calls, (std::vector<std::string>{"initialize", "language", "wizard"}));
  EXPECT_EQ(OnlyBox(), u"");
}

TEST_F(ProgramEntryWithWizard, AnAutomaticRunWithoutSilentShowsTheWizardButNoLanguageDialog) {
  user_interface_.WizardExitCode = ExitSuccess;
  EXPECT_EQ(Run(u"/AUTO=C:\\Apps\\ZELO"), ExitSuccess);
  EXPECT_EQ(user_interface_.Calls, (std::vector<std::string>{"initialize", "wizard"}));
}

TEST_F(ProgramEntryWithWizard, ASilentRunNeverReachesTheWizard) {
  EXPECT_EQ(Run(u"/AUTO=C:\\Apps\\ZELO /SILENT"), ExitSuccess);
  EXPECT_EQ(user_interface_.Calls, (std::vector<std::string>{"initialize"}));
}

TEST_F(ProgramEntryWithWizard, AWizardThatCannotBeBuiltEndsInTheErrorBox) {
  user_interface_.Fail = true;
  EXPECT_EQ(Run(u""), ExitFailed);
  EXPECT_EQ(OnlyBox(), u"Cannot locate \"header.png\" file in setup archive");
}

}  // namespace

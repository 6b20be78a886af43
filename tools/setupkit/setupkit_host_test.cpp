// The maker's "build" command finds its default program beside the tool's own executable or in
// the Windows build tree beside the tool's (the host double reports the tool's path), creates
// the output's folder and marks the output executable.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/host_double.h"
#include "tests/support/case_title.h"
#include "tests/support/temporary_folder.h"
#include "tiny_program_bytes.h"
#include "tools/setupkit/capturing_console.h"
#include "tools/setupkit/native_path.h"
#include "tools/setupkit/pe_resources.h"
#include "tools/setupkit/setupkit.h"

namespace {

class SetupKitDefaultProgram : public testing::Test {
 protected:
  void SetUp() override {
    folder_.WriteFile(u"setup\\Install.xml", "<Install/>");
    folder_.WriteFile(u"setup\\English.lng", "[File]\r\nName=English\r\n");
    folder_.WriteFile(u"product\\ZELO.exe", "MZ player");
    // As in a build tree: build/host/setupkit beside build/win64.
    platform::HostDouble::SetProgramFileName(Native(u"build\\host\\setupkit"));
  }
  void TearDown() override { platform::HostDouble::SetProgramFileName(u""); }

  String Native(StringView relative) const { return FromNativePath(folder_.NativePath(relative)); }

  void WriteProgram(StringView relative) {
    folder_.WriteFile(relative,
                      {reinterpret_cast<const char*>(TinyProgramBytes), sizeof TinyProgramBytes});
  }

  int Build(StringView output = u"out.exe") {
    console_ = CapturingConsole();
    // Where the program is found is the point here, not what lint thinks of the folders.
    return RunSetupKit({u"build", u"--setup", Native(u"setup"), u"--product", Native(u"product"),
                        u"-o", Native(output), u"--no-lint"},
                       console_);
  }

  TemporaryFolder folder_;
  CapturingConsole console_;
};

TEST_F(SetupKitDefaultProgram, MissingEverywhereSaysWhereItLookedAndWhatToGive) {
  EXPECT_EQ(Build(), 1);
  for (const String& expected :
       {u"\"" + Native(u"build\\host\\setup.exe") + u"\"",
        u"\"" + Native(u"build\\win64\\setup.exe") + u"\"", String(u"--program <setup.exe>")}) {
    EXPECT_NE(console_.error.find(expected), String::npos) << StringToUtf8(console_.error);
  }
  EXPECT_EQ(console_.error.find(u'\n'), console_.error.size() - 1);
  EXPECT_FALSE(std::filesystem::exists(folder_.NativePath(u"out.exe")));
}

struct PlaceCase {
  const char* Title;
  const char16_t* Program;
};

class SetupKitFindsTheProgram : public SetupKitDefaultProgram,
                                public testing::WithParamInterface<PlaceCase> {};

TEST_P(SetupKitFindsTheProgram, AndBuildsFromIt) {
  WriteProgram(GetParam().Program);
  ASSERT_EQ(Build(), 0) << StringToUtf8(console_.error);
  const std::string built = folder_.ReadFile(u"out.exe");
  EXPECT_EQ(ReadDataResources(std::vector<uint8_t>(built.begin(), built.end())).size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Places, SetupKitFindsTheProgram,
                         testing::Values(PlaceCase{"BesideTheTool", u"build\\host\\setup.exe"},
                                         PlaceCase{"InTheWindowsBuildTree",
                                                   u"build\\win64\\setup.exe"}),
                         CaseTitle());

TEST_F(SetupKitDefaultProgram, PrefersTheProgramBesideTheTool) {
  WriteProgram(u"build\\host\\setup.exe");
  folder_.WriteFile(u"build\\win64\\setup.exe", "not a program");
  EXPECT_EQ(Build(), 0) << StringToUtf8(console_.error);
}

// A maker builds into a folder that does not exist yet, and runs the result under Wine
// straight from the shell.
TEST_F(SetupKitDefaultProgram, CreatesTheOutputFolderAndMarksTheOutputExecutable) {
  WriteProgram(u"build\\win64\\setup.exe");
  ASSERT_EQ(Build(u"dist\\1.0\\setup.exe"), 0) << StringToUtf8(console_.error);
  namespace fs = std::filesystem;
  const fs::perms permissions =
      fs::status(folder_.NativePath(u"dist\\1.0\\setup.exe")).permissions();
  EXPECT_NE(permissions & fs::perms::owner_exec, fs::perms::none);
  // Execute follows read, so nobody gains a right to the file beyond running what they read.
  for (const auto& [read, exec] : {std::pair{fs::perms::group_read, fs::perms::group_exec},
                                   std::pair{fs::perms::others_read, fs::perms::others_exec}}) {
    EXPECT_EQ((permissions & read) != fs::perms::none, (permissions & exec) != fs::perms::none);
  }
  EXPECT_FALSE(fs::exists(folder_.NativePath(u"dist\\1.0\\setup.exe.partial")));
}

}  // namespace

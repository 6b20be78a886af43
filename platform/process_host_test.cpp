// The host double's programs: what RunProgramAndWait started, a handler standing in for the
// program, and how a command line's program is found without one.
#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "platform/host_double.h"
#include "platform/os_error.h"
#include "platform/process.h"
#include "tests/support/case_title.h"
#include "tests/support/temporary_folder.h"

namespace {

using platform::HostDouble;

class ProgramsDouble : public testing::Test {
 protected:
  void SetUp() override { HostDouble::TakeStartedPrograms(); }
  void TearDown() override { HostDouble::SetProgramHandler(nullptr); }
  TemporaryFolder folder_;
};

TEST_F(ProgramsDouble, AHandlerRunsInPlaceOfTheProgramAndDecides) {
  const String marker = folder_.PathOf(u"ran");
  HostDouble::SetProgramHandler([&](StringView command_line) {
    if (command_line.ends_with(u"/fail")) return false;
    folder_.WriteFile(u"ran", "yes");
    return true;
  });
  EXPECT_TRUE(platform::RunProgramAndWait(u"\"C:\\Missing\\Add-ons.exe\" /install"));
  EXPECT_EQ(folder_.ReadFile(u"ran"), "yes");
  EXPECT_FALSE(platform::RunProgramAndWait(u"C:\\Missing\\Add-ons.exe /fail"));
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorFileNotFound);
  EXPECT_EQ(HostDouble::TakeStartedPrograms(),
            (std::vector<String>{u"\"C:\\Missing\\Add-ons.exe\" /install",
                                 u"C:\\Missing\\Add-ons.exe /fail"}));
  EXPECT_TRUE(HostDouble::TakeStartedPrograms().empty());
}

struct LookupCase {
  const char* Title;
  const char16_t* CommandLine;  // "$" stands for the test's folder, which holds "My Player.exe"
  bool Found;
};

class ProgramLookup : public ProgramsDouble, public testing::WithParamInterface<LookupCase> {};

TEST_P(ProgramLookup, FollowsTheSystemsRules) {
  folder_.WriteFile(u"My Player.exe", "program");
  String command_line = GetParam().CommandLine;
  command_line.replace(command_line.find(u'$'), 1, folder_.Path());
  EXPECT_EQ(platform::RunProgramAndWait(command_line), GetParam().Found);
  EXPECT_EQ(HostDouble::TakeStartedPrograms(), std::vector<String>{command_line});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgramLookup,
    testing::Values(LookupCase{"Quoted", u"\"$My Player.exe\" /S", true},
                    LookupCase{"UnquotedWithBlank", u"$My Player.exe /S", true},
                    LookupCase{"WithoutExtension", u"\"$My Player\"", true},
                    LookupCase{"UnquotedWithoutExtension", u"$My Player /S", true},
                    LookupCase{"OtherCase", u"\"$MY PLAYER.EXE\"", true},
                    LookupCase{"Missing", u"\"$Other.exe\" /S", false},
                    LookupCase{"QuotedFolderOnly", u"\"$My\" Player.exe", false},
                    LookupCase{"BareNameIsSearchedFor", u"notepad.exe $x", true}),
    CaseTitle());

}  // namespace

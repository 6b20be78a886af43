// Shell links: what is written is read back, under Wine through the shell's own link object.
#include "platform/shell_link.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/os_error.h"
#include "platform/shell_execute.h"
#include "tests/support/temporary_folder.h"

namespace {

class ShellLink : public testing::Test {
 protected:
  void SetUp() override {
    folder_.WriteFile(u"Player.exe", "program");
    folder_.WriteFile(u"Caf\u00E9 Player.exe", "program");
  }

  platform::ShellApartment apartment_;
  TemporaryFolder folder_;
};

TEST_F(ShellLink, TheTargetIsReadBackAsWritten) {
  for (const StringView name : {StringView(u"Player.exe"), StringView(u"Caf\u00E9 Player.exe")}) {
    const String link = folder_.PathOf(u"Player.lnk");
    const String target = folder_.PathOf(name);
    ASSERT_TRUE(platform::WriteShellLink(link, target)) << platform::GetLastOSError();
    String read;
    ASSERT_TRUE(platform::ReadShellLinkTarget(link, read)) << platform::GetLastOSError();
    EXPECT_TRUE(platform::SameFileName(read, target)) << StringToUtf8(read);
  }
}

TEST_F(ShellLink, AnExistingFileIsReplaced) {
  folder_.WriteFile(u"Player.lnk", std::string(10000, 'x'));
  ASSERT_TRUE(
      platform::WriteShellLink(folder_.PathOf(u"Player.lnk"), folder_.PathOf(u"Player.exe")));
  String read;
  ASSERT_TRUE(platform::ReadShellLinkTarget(folder_.PathOf(u"Player.lnk"), read));
  EXPECT_TRUE(platform::SameFileName(read, folder_.PathOf(u"Player.exe")));
}

TEST_F(ShellLink, MissingLinksFoldersAndOtherFilesFail) {
  String read = u"unchanged";
  EXPECT_FALSE(platform::ReadShellLinkTarget(folder_.PathOf(u"Missing.lnk"), read));
  folder_.WriteFile(u"Text.lnk", "not a shell link at all");
  EXPECT_FALSE(platform::ReadShellLinkTarget(folder_.PathOf(u"Text.lnk"), read));
  EXPECT_EQ(read, u"unchanged");
  EXPECT_FALSE(platform::WriteShellLink(folder_.PathOf(u"No folder\\Player.lnk"),
                                        folder_.PathOf(u"Player.exe")));
  EXPECT_FALSE(platform::FileExists(folder_.PathOf(u"No folder\\Player.lnk")));
}

TEST(ShellLinkWithoutApartment, IsRefused) {
  // A thread of its own, which no apartment of another test can have joined.
  const TemporaryFolder folder;
  bool written = true;
  std::thread([&] {
    written = platform::WriteShellLink(folder.PathOf(u"Player.lnk"), folder.PathOf(u"x.exe"));
  }).join();
  EXPECT_FALSE(written);
  EXPECT_FALSE(platform::FileExists(folder.PathOf(u"Player.lnk")));
}

}  // namespace

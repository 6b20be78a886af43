// The run's log: where it goes, what a line looks like, and that changes reach it.
#include "core/installer_log.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "platform/change_observer.h"
#include "platform/file_system.h"
#include "platform/os_error.h"
#include "platform/shell_folders.h"
#include "tests/support/temporary_folder.h"

namespace {

// The lines of a log after their time stamps, which must all be well formed.
std::vector<std::string> Entries(const std::string& bytes) {
  static const std::regex stamp(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}  )");
  std::vector<std::string> entries;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    start = end + 2;
    if (std::regex_search(line, stamp)) {
      entries.push_back(line.substr(25));
    } else {
      // A continuation is indented under the text of its entry.
      EXPECT_EQ(line.substr(0, 25), std::string(25, ' ')) << line;
      entries.back() += "\n" + line.substr(25);
    }
  }
  return entries;
}

class InstallerLogTest : public testing::Test {
 protected:
  void TearDown() override { TInstallerLog::Close(); }

  std::vector<std::string> LogEntries() const {
    std::string bytes = folder_.ReadFile(u"setup.log");
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF") << "a UTF-8 log starts with its byte order mark";
    return Entries(bytes.substr(3));
  }

  TemporaryFolder folder_;
};

TEST_F(InstallerLogTest, WritesStampedUtf8LinesAndIndentsContinuations) {
  ASSERT_TRUE(TInstallerLog::Open(folder_.PathOf(u"setup.log")));
  EXPECT_EQ(TInstallerLog::FileName(), folder_.PathOf(u"setup.log"));
  TInstallerLog::Write(u"Destination: C:\\Программы\\ZELO\\");
  TInstallerLog::WriteError(u"first line\r\nsecond line");
  TInstallerLog::WriteSystemError(platform::ErrorAccessDenied, u"C:\\x");
  const std::vector<std::string> entries = LogEntries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0], "Destination: C:\\Программы\\ZELO\\");
  EXPECT_EQ(entries[1], "Error: first line\nsecond line");
  EXPECT_EQ(entries[2], "Error 5: " + StringToUtf8(platform::SysErrorMessage(5)) + ": C:\\x");
}

TEST_F(InstallerLogTest, RecordsWhatThePlatformChanges) {
  ASSERT_TRUE(TInstallerLog::Open(folder_.PathOf(u"setup.log")));
  ASSERT_TRUE(platform::CreateFolder(folder_.PathOf(u"made")));
  ASSERT_TRUE(platform::MovePath(folder_.PathOf(u"made"), folder_.PathOf(u"moved")));
  ASSERT_TRUE(platform::RemoveEmptyFolder(folder_.PathOf(u"moved")));
  platform::ReportChange(platform::Change::RegistryValueWritten, u"HKLM\\Software\\X", u"A = 1");
  platform::ReportChange(platform::Change::ProcessStarted, u"C:\\p.exe", u"/x");
  // Failures change nothing and are not reported as changes.
  EXPECT_FALSE(platform::RemoveFile(folder_.PathOf(u"missing")));
  const std::vector<std::string> expected = {
      "Folder created: " + StringToUtf8(folder_.PathOf(u"made")),
      "File moved: " + StringToUtf8(folder_.PathOf(u"made")) + " -> " +
          StringToUtf8(folder_.PathOf(u"moved")),
      "Folder removed: " + StringToUtf8(folder_.PathOf(u"moved")),
      "Registry value written: HKLM\\Software\\X: A = 1",
      "Process started: \"C:\\p.exe\" /x",
  };
  EXPECT_EQ(LogEntries(), expected);
}

TEST_F(InstallerLogTest, ACopyAppendsAndNothingIsWrittenAfterClosing) {
  ASSERT_TRUE(TInstallerLog::Open(folder_.PathOf(u"setup.log")));
  TInstallerLog::Write(u"first process");
  TInstallerLog::Close();
  platform::ReportChange(platform::Change::FileDeleted, u"C:\\after-close");
  TInstallerLog::Write(u"after close");
  ASSERT_TRUE(TInstallerLog::Open(folder_.PathOf(u"setup.log")));
  TInstallerLog::Write(u"its copy");
  EXPECT_EQ(LogEntries(), (std::vector<std::string>{"first process", "its copy"}));
}

TEST_F(InstallerLogTest, AMissingFolderIsMade) {
  ASSERT_TRUE(TInstallerLog::Open(folder_.PathOf(u"Logs\\Setup\\setup.log")));
  TInstallerLog::Write(u"made");
  EXPECT_NE(folder_.ReadFile(u"Logs\\Setup\\setup.log").find("made\r\n"), std::string::npos);
}

TEST_F(InstallerLogTest, AnUnwritableLogIsNoLog) {
  // A file stands where the log's folder would have to be.
  folder_.WriteFile(u"blocker", "x");
  EXPECT_FALSE(TInstallerLog::Open(folder_.PathOf(u"blocker\\setup.log")));
  EXPECT_FALSE(TInstallerLog::IsOpen());
  EXPECT_TRUE(TInstallerLog::FileName().empty());
  TInstallerLog::Write(u"nowhere");  // must not fail
}

TEST_F(InstallerLogTest, WithoutANameEachRunGetsTheNextFreeNumberInTheTemporaryFolder) {
  // The host double's temporary folder exists only once somebody makes it.
  ASSERT_TRUE(platform::CreateFolderWithParents(platform::TemporaryFolder()));
  std::vector<String> names;
  for (int run = 0; run < 2; ++run) {
    ASSERT_TRUE(TInstallerLog::Open(u""));
    names.push_back(TInstallerLog::FileName());
    TInstallerLog::Close();
  }
  const std::wregex pattern(LR"(Setup Log \d{4}-\d\d-\d\d #(\d{3})\.txt)");
  std::vector<int> numbers;
  for (const String& name : names) {
    ASSERT_EQ(name.substr(0, platform::TemporaryFolder().size()), platform::TemporaryFolder());
    const std::wstring file(
        name.begin() + static_cast<ptrdiff_t>(platform::TemporaryFolder().size()), name.end());
    std::wsmatch match;
    ASSERT_TRUE(std::regex_match(file, match, pattern)) << StringToUtf8(name);
    numbers.push_back(std::stoi(match[1].str()));
    EXPECT_TRUE(platform::RemoveFile(name));
  }
  // Taken in order; the second run found the first one's file.
  EXPECT_GT(numbers[1], numbers[0]);
}

}  // namespace

// File times: a file just written reports the current local time, not universal time or garbage.
#include "platform/file_time.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/os_error.h"
#include "tests/support/temporary_folder.h"

namespace {

// Minutes since 2000-01-01, enough to compare two nearby local times across a midnight or a
// month's end.
int64_t MinutesSince2000(const platform::LocalTime& time) {
  static const int DaysBeforeMonth[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  int64_t days = (time.Year - 2000) * 365 + (time.Year - 1997) / 4 +
                 DaysBeforeMonth[time.Month - 1] + time.Day - 1;
  if (time.Month > 2 && time.Year % 4 == 0) ++days;
  return (days * 24 + time.Hour) * 60 + time.Minute;
}

TEST(FileTime, AFileJustWrittenReportsTheCurrentLocalTime) {
  TemporaryFolder folder;
  const platform::LocalTime before = platform::GetCurrentLocalTime();
  folder.WriteFile(u"fresh.txt", "fresh");
  platform::LocalTime written{};
  ASSERT_TRUE(platform::GetFileLastWriteTime(folder.PathOf(u"fresh.txt"), written));
  const platform::LocalTime after = platform::GetCurrentLocalTime();
  EXPECT_GE(MinutesSince2000(written), MinutesSince2000(before) - 1);
  EXPECT_LE(MinutesSince2000(written), MinutesSince2000(after) + 1);
}

TEST(FileTime, AMissingFileReportsTheSystemError) {
  TemporaryFolder folder;
  platform::LocalTime time{};
  EXPECT_FALSE(platform::GetFileLastWriteTime(folder.PathOf(u"absent.txt"), time));
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorFileNotFound);
}

}  // namespace

// The clocks: a pause lasts at least about as long as asked, and the monotonic clock shows it.
#include "platform/clock.h"

#include <gtest/gtest.h>

namespace {

TEST(Pause, AdvancesTheMonotonicClockByAboutItsLength) {
  const uint64_t before = platform::MonotonicMilliseconds();
  platform::Pause(60);
  const uint64_t after = platform::MonotonicMilliseconds();
  // The system's tick may be as coarse as 16 ms.
  EXPECT_GE(after - before, 44u);
  EXPECT_LT(after - before, 10000u);
}

TEST(MonotonicMilliseconds, NeverGoesBack) {
  uint64_t last = platform::MonotonicMilliseconds();
  for (int i = 0; i < 1000; ++i) {
    const uint64_t now = platform::MonotonicMilliseconds();
    ASSERT_GE(now, last);
    last = now;
  }
}

}  // namespace

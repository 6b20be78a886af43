// The host double's virtual time: pauses return at once and move only the monotonic clock.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/host_double.h"

namespace {

using platform::HostDouble;

class VirtualTime : public testing::Test {
 protected:
  void SetUp() override {
    HostDouble::UseVirtualTime(true);
    HostDouble::TakePauses();
  }
  void TearDown() override { HostDouble::UseVirtualTime(false); }
};

TEST_F(VirtualTime, PausesReturnAtOnceAndAdvanceTheClockExactly) {
  const auto real_start = std::chrono::steady_clock::now();
  const uint64_t start = platform::MonotonicMilliseconds();
  platform::Pause(60000);
  platform::Pause(250);
  EXPECT_EQ(platform::MonotonicMilliseconds(), start + 60250);
  EXPECT_LT(std::chrono::steady_clock::now() - real_start, std::chrono::seconds(10));
  EXPECT_EQ(HostDouble::TakePauses(), (std::vector<uint32_t>{60000, 250}));
  EXPECT_TRUE(HostDouble::TakePauses().empty());
}

TEST_F(VirtualTime, StandsStillWithoutPauses) {
  const uint64_t start = platform::MonotonicMilliseconds();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(platform::MonotonicMilliseconds(), start);
}

TEST_F(VirtualTime, TheRealClockCarriesOnFromItWithoutGoingBack) {
  platform::Pause(3600000);
  const uint64_t virtual_end = platform::MonotonicMilliseconds();
  HostDouble::UseVirtualTime(false);
  EXPECT_GE(platform::MonotonicMilliseconds(), virtual_end);
  HostDouble::UseVirtualTime(true);
  EXPECT_GE(platform::MonotonicMilliseconds(), virtual_end);
}

}  // namespace

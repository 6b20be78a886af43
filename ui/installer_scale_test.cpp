#include "ui/installer_scale.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct MulDivCase {
  int32_t Number;
  int32_t Numerator;
  int32_t Denominator;
  int32_t Result;
};

class MulDivRounding : public testing::TestWithParam<MulDivCase> {};

TEST_P(MulDivRounding, RoundsHalfAwayFromZero) {
  EXPECT_EQ(MultiplyDivide(GetParam().Number, GetParam().Numerator, GetParam().Denominator),
            GetParam().Result);
}

constexpr int32_t Max = std::numeric_limits<int32_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Cases, MulDivRounding,
    testing::Values(MulDivCase{53, 96, 96, 53}, MulDivCase{53, 144, 96, 80},
                    MulDivCase{-53, 144, 96, -80}, MulDivCase{53, -144, 96, -80},
                    MulDivCase{53, 144, -96, -80}, MulDivCase{-53, 144, -96, 80},
                    MulDivCase{5, 1, 2, 3}, MulDivCase{3, 1, 2, 2}, MulDivCase{7, 1, 3, 2},
                    MulDivCase{8, 1, 3, 3}, MulDivCase{91, 50, 100, 46},
                    // The product may exceed 32 bits as long as the result does not.
                    MulDivCase{Max, Max, Max, Max}, MulDivCase{Max, 2, 2, Max},
                    // Failures, as the system reports them.
                    MulDivCase{1, 1, 0, -1}, MulDivCase{Max, 2, 1, -1}));

TEST(InstallerScale, DefaultsTo96Dpi) {
  EXPECT_EQ(TInstallerScale{}.Apply(640), 640);
  EXPECT_EQ((TInstallerScale{144, 96}.Apply(10)), 15);
}

}  // namespace

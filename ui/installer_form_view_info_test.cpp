#include "ui/installer_form_view_info.h"

#include <gtest/gtest.h>

namespace {

struct GeometryCase {
  const char* Name;
  TRect Client;
  TInstallerScale Scale;
  TRect Header;
  TRect Footer;
  TRect Strip;
  TRect TitleText;
  TRect Page;
  TRect FullScreenPage;
};

void PrintTo(const GeometryCase& c, std::ostream* os) {
  *os << c.Name;
}

class FormGeometry : public testing::TestWithParam<GeometryCase> {};

TEST_P(FormGeometry, ScalesEveryLength) {
  const TInstallerFormViewInfo view_info(GetParam().Client, GetParam().Scale);
  EXPECT_EQ(view_info.GetHeaderRect(), GetParam().Header);
  EXPECT_EQ(view_info.GetFooterRect(), GetParam().Footer);
  EXPECT_EQ(view_info.GetProgressRect(), GetParam().Strip);
  EXPECT_EQ(view_info.GetTitleTextRect(), GetParam().TitleText);
  EXPECT_EQ(view_info.GetPageRect(false), GetParam().Page);
  EXPECT_EQ(view_info.GetPageRect(true), GetParam().FullScreenPage);
}

INSTANTIATE_TEST_SUITE_P(
    Dpi, FormGeometry,
    testing::Values(GeometryCase{"96 DPI",
                                 {0, 0, 640, 480},
                                 {96, 96},
                                 {0, 0, 640, 53},
                                 {0, 436, 640, 480},
                                 {0, 53, 640, 63},
                                 {144, 6, 624, 41},
                                 {0, 67, 640, 436},
                                 {0, 0, 640, 436}},
                    // 53 × 1.5 = 79.5 rounds up, as MulDiv does.
                    GeometryCase{"144 DPI",
                                 {0, 0, 960, 720},
                                 {144, 96},
                                 {0, 0, 960, 80},
                                 {0, 654, 960, 720},
                                 {0, 80, 960, 95},
                                 {216, 9, 936, 62},
                                 {0, 101, 960, 654},
                                 {0, 0, 960, 654}},
                    // Each length is scaled on its own: 66 + 13 + 5, not (53 + 10 + 4) × 1.25.
                    GeometryCase{"120 DPI",
                                 {0, 0, 800, 600},
                                 {120, 96},
                                 {0, 0, 800, 66},
                                 {0, 545, 800, 600},
                                 {0, 66, 800, 79},
                                 {180, 8, 780, 51},
                                 {0, 84, 800, 545},
                                 {0, 0, 800, 545}},
                    GeometryCase{"offset client",
                                 {10, 20, 650, 500},
                                 {96, 96},
                                 {10, 20, 650, 73},
                                 {10, 456, 650, 500},
                                 {10, 73, 650, 83},
                                 {154, 26, 634, 61},
                                 {10, 87, 650, 456},
                                 {10, 20, 650, 456}}));

}  // namespace

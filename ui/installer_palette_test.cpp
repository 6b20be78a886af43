#include "ui/installer_palette.h"

#include <gtest/gtest.h>

namespace {

struct PaletteCase {
  bool Dark;
  TColorRef Accent;
  TColorRef StripBackground;
  TColorRef PageBackground;
  TColorRef HeaderText;
};

class InstallerPalette : public testing::TestWithParam<PaletteCase> {};

TEST_P(InstallerPalette, HasTheModesColours) {
  const TInstallerPalette palette = GetInstallerPalette(GetParam().Dark);
  EXPECT_EQ(palette.Accent, GetParam().Accent);
  EXPECT_EQ(palette.StripBackground, GetParam().StripBackground);
  EXPECT_EQ(palette.PageBackgroundTop, GetParam().PageBackground);
  EXPECT_EQ(palette.PageBackgroundBottom, GetParam().PageBackground);
  EXPECT_EQ(palette.HeaderText, GetParam().HeaderText);
  // Footer and strip take the accent; the version text is the same in both modes.
  EXPECT_EQ(palette.Footer, GetParam().Accent);
  EXPECT_EQ(palette.FooterLine, GetParam().Accent);
  EXPECT_EQ(palette.StripFill, GetParam().Accent);
  EXPECT_EQ(palette.StripHatch, GetParam().Accent);
  EXPECT_EQ(palette.VersionText, 0xF0F0F0u);
}

INSTANTIATE_TEST_SUITE_P(Modes, InstallerPalette,
                         testing::Values(PaletteCase{false, 0x338CDE, 0xFFFFFF, 0xFFFFFF, 0x000000},
                                         PaletteCase{true, 0x1C67AC, 0x2A2A2A, 0x262626,
                                                     0xFFFFFF}));

}  // namespace

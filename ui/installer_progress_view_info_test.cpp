#include "ui/installer_progress_view_info.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/test_page.h"

namespace {

struct Fill {
  TRect Rect;
  TColorRef Colour;

  bool operator==(const Fill&) const = default;
};

void PrintTo(const Fill& fill, std::ostream* os) {
  *os << "{" << fill.Rect.Left << "," << fill.Rect.Top << "," << fill.Rect.Right << ","
      << fill.Rect.Bottom << " #" << std::hex << fill.Colour << std::dec << "}";
}

class RecordingCanvas : public TInstallerCanvas {
 public:
  void FillRect(const TRect& rect, TColorRef colour) override { Fills.push_back({rect, colour}); }

  std::vector<Fill> Fills;
};

// Distinct colours, so a rectangle painted in the wrong one shows.
TInstallerPalette MakeDistinctPalette() {
  TInstallerPalette palette;
  palette.StripFill = 0x0000F1;
  palette.StripHatch = 0x0000A7;
  palette.StripBackground = 0x0000B9;
  return palette;
}

const TInstallerPalette Palette = MakeDistinctPalette();

struct StripCase {
  size_t PageCount;
  TRect Bounds;
  TInstallerScale Scale;
  size_t Active;
  int32_t Progress;
  int32_t SegmentWidth;
  int32_t SegmentLeft;
  int32_t FillRight;  // equal to the content's left: no fill
};

void PrintTo(const StripCase& c, std::ostream* os) {
  *os << c.PageCount << " pages, page " << c.Active << " at " << c.Progress << "%, scale "
      << c.Scale.Numerator;
}

class StepStrip : public testing::TestWithParam<StripCase> {};

TEST_P(StepStrip, PaintsBackgroundHatchAndFill) {
  const StripCase& c = GetParam();
  TInstallerPageList pages;
  AddTestPages(pages, std::string(c.PageCount, '+'));
  TestPageAt(pages, c.Active).Progress = c.Progress;

  TInstallerProgressViewInfo strip(pages);
  strip.Calculate(c.Bounds, c.Scale);
  ASSERT_EQ(strip.SegmentWidth(), c.SegmentWidth);
  const int32_t inset = c.Scale.Apply(2);
  const TRect content{c.Bounds.Left, c.Bounds.Top + inset, c.Bounds.Right, c.Bounds.Bottom - inset};
  EXPECT_EQ(strip.ContentRect(), content);

  std::vector<Fill> expected{{c.Bounds, Palette.StripBackground}};
  // The marks keep a 6-pixel pitch at every scale.
  for (int32_t left = c.SegmentLeft; left + 6 <= c.SegmentLeft + c.SegmentWidth; left += 6) {
    expected.push_back({{left, content.Top, left + 3, content.Bottom}, Palette.StripHatch});
  }
  if (c.FillRight > content.Left) {
    expected.push_back(
        {{content.Left, content.Top, c.FillRight, content.Bottom}, Palette.StripFill});
  }

  RecordingCanvas canvas;
  strip.Draw(canvas, &pages[c.Active], Palette);
  EXPECT_EQ(canvas.Fills, expected);
}

constexpr TRect Strip96{0, 53, 640, 63};
constexpr TRect Strip144{0, 80, 960, 95};
constexpr TInstallerScale Dpi96{96, 96};
constexpr TInstallerScale Dpi144{144, 96};

INSTANTIATE_TEST_SUITE_P(Runs, StepStrip,
                         testing::Values(
                             // Eight pages: 640 div 7 = 91 pixels a segment, 15 marks.
                             StripCase{8, Strip96, Dpi96, 0, 0, 91, 0, 0},
                             StripCase{8, Strip96, Dpi96, 2, 0, 91, 182, 182},
                             StripCase{8, Strip96, Dpi96, 6, 0, 91, 546, 546},
                             // 91 × 50 % = 45.5 rounds away from zero.
                             StripCase{8, Strip96, Dpi96, 6, 50, 91, 546, 592},
                             StripCase{8, Strip96, Dpi96, 6, 100, 91, 546, 637},
                             StripCase{8, Strip96, Dpi96, 7, 0, 91, 637, 637},
                             StripCase{8, Strip144, Dpi144, 6, 33, 137, 822, 867},
                             StripCase{3, Strip96, Dpi96, 1, 10, 320, 320, 352},
                             // Two pages (an automatic run): no segments, the background only.
                             StripCase{2, Strip96, Dpi96, 0, 0, 0, 0, 0},
                             StripCase{2, Strip96, Dpi96, 1, 100, 0, 0, 0},
                             StripCase{2, Strip144, Dpi144, 0, 70, 0, 0, 0}));

TEST(StepStripPages, AnUnavailablePageKeepsItsSegment) {
  TInstallerPageList pages;
  AddTestPages(pages, "++-++");
  TInstallerProgressViewInfo strip(pages);
  strip.Calculate(Strip96, Dpi96);
  EXPECT_EQ(strip.SegmentWidth(), 160);
  RecordingCanvas canvas;
  strip.Draw(canvas, &pages[3], Palette);
  ASSERT_FALSE(canvas.Fills.empty());
  EXPECT_EQ(canvas.Fills.back(), (Fill{{0, 55, 480, 61}, Palette.StripFill}));
}

TEST(StepStripPages, APageOutsideTheListGetsTheBackgroundOnly) {
  TInstallerPageList pages;
  AddTestPages(pages, "++++");
  TInstallerProgressViewInfo strip(pages);
  strip.Calculate(Strip96, Dpi96);
  const TTestPage stranger;
  for (const TInstallerCustomPage* page : {static_cast<const TInstallerCustomPage*>(&stranger),
                                           static_cast<const TInstallerCustomPage*>(nullptr)}) {
    RecordingCanvas canvas;
    strip.Draw(canvas, page, Palette);
    EXPECT_EQ(canvas.Fills, (std::vector<Fill>{{Strip96, Palette.StripBackground}}));
  }
}

}  // namespace

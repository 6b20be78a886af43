#include "ui/vyn_controls_win.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include <gtest/gtest.h>

#include "platform/handle_traits_win.h"
#include "platform/windows_text.h"
#include "ui/vyn_font_win.h"
#include "ui/vyn_form_win.h"

namespace {

// What a screen reader or a test driver reads: the window text, through the window message.
String WindowText(HWND window) {
  wchar_t buffer[256] = {};
  const auto length = ::SendMessageW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer));
  return FromWide(buffer, static_cast<size_t>(length));
}

LRESULT CheckState(HWND window) {
  return ::SendMessageW(window, BM_GETCHECK, 0, 0);
}

class TVYNControlsTest : public ::testing::Test {
 protected:
  void SetUp() override { form_.Show(SW_SHOWNOACTIVATE); }

  TVYNForm form_{TVYNFormOptions{}};
};

TEST_F(TVYNControlsTest, ButtonAnswersLikeAStandardButton) {
  TVYNButton button(form_, 10, TVYNBounds{10, 10, 100, 25}, u"Next");
  int clicks = 0;
  button.OnClick = [&] { ++clicks; };
  EXPECT_EQ(WindowText(button.Handle()), u"Next");
  EXPECT_EQ(::GetDlgCtrlID(button.Handle()), 10);
  EXPECT_EQ(::GetDlgItem(form_.Handle(), 10), button.Handle());

  ::SendMessageW(button.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);

  button.SetCaption(u"Install");
  EXPECT_EQ(WindowText(button.Handle()), u"Install");
  EXPECT_EQ(button.Caption(), u"Install");

  button.SetEnabled(false);
  EXPECT_FALSE(::IsWindowEnabled(button.Handle()));
  EXPECT_FALSE(button.Enabled());
  button.SetVisible(false);
  EXPECT_FALSE(::IsWindowVisible(button.Handle()));
  button.SetVisible(true);
  EXPECT_TRUE(::IsWindowVisible(button.Handle()));
}

TEST_F(TVYNControlsTest, CheckBoxTogglesOnClickAndOnlyClicksCallTheHandler) {
  TVYNCheckBox box(form_, 11, TVYNBounds{10, 40, 200, 20}, u"Create a desktop shortcut");
  int clicks = 0;
  box.OnClick = [&] { ++clicks; };
  EXPECT_EQ(WindowText(box.Handle()), u"Create a desktop shortcut");
  EXPECT_EQ(CheckState(box.Handle()), BST_UNCHECKED);

  ::SendMessageW(box.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(CheckState(box.Handle()), BST_CHECKED);
  EXPECT_TRUE(box.Checked());
  EXPECT_EQ(clicks, 1);
  ::SendMessageW(box.Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(box.Checked());
  EXPECT_EQ(clicks, 2);

  box.SetChecked(true);
  EXPECT_EQ(CheckState(box.Handle()), BST_CHECKED);
  ::SendMessageW(box.Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
  EXPECT_FALSE(box.Checked());
  EXPECT_EQ(clicks, 2);
}

TEST_F(TVYNControlsTest, RadioButtonsUncheckTheOthersOfTheirGroupOnly) {
  TVYNRadioButton all_users(form_, 20, TVYNBounds{10, 10, 200, 20}, u"All users", true);
  TVYNRadioButton just_me(form_, 21, TVYNBounds{10, 30, 200, 20}, u"Just me");
  TVYNRadioButton other_group(form_, 22, TVYNBounds{10, 60, 200, 20}, u"Other", true);
  int clicks = 0;
  just_me.OnClick = [&] { ++clicks; };
  all_users.SetChecked(true);
  other_group.SetChecked(true);

  ::SendMessageW(just_me.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(just_me.Checked());
  EXPECT_EQ(CheckState(all_users.Handle()), BST_UNCHECKED);
  EXPECT_TRUE(other_group.Checked());

  ::SendMessageW(all_users.Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(all_users.Checked());
  EXPECT_FALSE(just_me.Checked());
  EXPECT_EQ(clicks, 1);
}

TEST_F(TVYNControlsTest, LinkLabelOpensItsTargetAndAPlainLabelDoesNothing) {
  TVYNLabel plain(form_, 30, TVYNBounds{10, 10, 200, 20}, u"Version 1.0");
  TVYNLabel link(form_, 31, TVYNBounds{10, 40, 200, 20}, u"Privacy",
                 TVYNLabelOptions{.LinkTarget = u"https://example.invalid/privacy"});
  EXPECT_EQ(WindowText(plain.Handle()), u"Version 1.0");
  EXPECT_EQ(WindowText(link.Handle()), u"Privacy");
  EXPECT_TRUE(link.Font().Underline);
  EXPECT_FALSE(plain.Font().Underline);

  std::vector<String> opened;
  plain.OnLinkClick = link.OnLinkClick = [&](const String& target) { opened.push_back(target); };
  for (HWND label : {plain.Handle(), link.Handle()}) {
    ::SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  }
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], u"https://example.invalid/privacy");
}

TEST_F(TVYNControlsTest, ProgressBarKeepsItsPositionWithinZeroToHundred) {
  TVYNProgressBar bar(form_, 40, TVYNBounds{10, 10, 300, 10});
  EXPECT_EQ(bar.Position(), 0);
  struct Case {
    int Set;
    int Read;
  };
  const Case cases[] = {{42, 42}, {100, 100}, {150, 100}, {-5, 0}, {0, 0}, {7, 7}};
  for (const Case& c : cases) {
    bar.SetPosition(c.Set);
    EXPECT_EQ(bar.Position(), c.Read) << c.Set;
    EXPECT_EQ(::SendMessageW(bar.Handle(), PBM_GETPOS, 0, 0), c.Read) << c.Set;
  }
  // Set through the message, as for the system's bar, which answers with the old position.
  EXPECT_EQ(::SendMessageW(bar.Handle(), PBM_SETPOS, 60, 0), 7);
  EXPECT_EQ(bar.Position(), 60);
  PBRANGE range{};
  ::SendMessageW(bar.Handle(), PBM_GETRANGE, 0, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 100);
  ::UpdateWindow(bar.Handle());  // paints without a crash in either look
  form_.SetLook(TVYNLook::Dark());
  ::UpdateWindow(bar.Handle());
}

TEST_F(TVYNControlsTest, MemoIsReadOnlyMultiLineWithAVerticalScrollBar) {
  TVYNMemo memo(form_, 50, TVYNBounds{10, 10, 300, 100}, u"First line\r\nSecond line");
  EXPECT_EQ(WindowText(memo.Handle()), u"First line\r\nSecond line");
  const LONG style = ::GetWindowLongW(memo.Handle(), GWL_STYLE);
  EXPECT_NE(style & ES_MULTILINE, 0);
  EXPECT_NE(style & ES_READONLY, 0);
  EXPECT_NE(style & WS_VSCROLL, 0);
  EXPECT_EQ(::SendMessageW(memo.Handle(), EM_GETLINECOUNT, 0, 0), 2);

  ::SendMessageW(memo.Handle(), WM_CHAR, L'x', 0);
  ::SendMessageW(memo.Handle(), WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(memo.Caption(), u"First line\r\nSecond line");
}

// The colours the form hands a control when the control is about to paint.
struct PaintColours {
  COLORREF Text;
  int BackgroundMode;
  HBRUSH Brush;
};

PaintColours AskColours(const TVYNForm& form, HWND control, UINT message) {
  const platform::ScopedMemoryDc dc(::CreateCompatibleDC(nullptr));
  const auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(form.Handle(), message,
                                                             reinterpret_cast<WPARAM>(dc.Get()),
                                                             reinterpret_cast<LPARAM>(control)));
  return PaintColours{::GetTextColor(dc.Get()), ::GetBkMode(dc.Get()), brush};
}

TEST_F(TVYNControlsTest, ControlsTakeTheFormsLightOrDarkColours) {
  TVYNCheckBox box(form_, 60, TVYNBounds{10, 10, 200, 20}, u"Box");
  TVYNLabel opaque(form_, 61, TVYNBounds{10, 40, 200, 20}, u"Opaque",
                   TVYNLabelOptions{.Transparent = false});
  TVYNLabel see_through(form_, 62, TVYNBounds{10, 70, 200, 20}, u"See-through");
  TVYNLabel link(form_, 63, TVYNBounds{10, 100, 200, 20}, u"Link",
                 TVYNLabelOptions{.LinkTarget = u"https://example.invalid/"});

  for (const TVYNLook& look : {TVYNLook::Light(), TVYNLook::Dark()}) {
    form_.SetLook(look);
    const PaintColours check = AskColours(form_, box.Handle(), WM_CTLCOLORSTATIC);
    EXPECT_EQ(check.Text, look.Text);
    EXPECT_EQ(check.Brush, form_.BackgroundBrush());
    const PaintColours plain = AskColours(form_, opaque.Handle(), WM_CTLCOLORSTATIC);
    EXPECT_EQ(plain.Text, look.Text);
    EXPECT_EQ(plain.Brush, form_.BackgroundBrush());
    const PaintColours clear = AskColours(form_, see_through.Handle(), WM_CTLCOLORSTATIC);
    EXPECT_EQ(clear.BackgroundMode, TRANSPARENT);
    EXPECT_EQ(clear.Brush, ::GetStockObject(NULL_BRUSH));
    EXPECT_EQ(AskColours(form_, link.Handle(), WM_CTLCOLORSTATIC).Text, look.Link);
  }
  box.SetEnabled(false);
  EXPECT_EQ(AskColours(form_, box.Handle(), WM_CTLCOLORSTATIC).Text, form_.Look().DisabledText);

  // The brush follows the look: a dark form must not paint its controls white.
  LOGBRUSH brush{};
  ASSERT_NE(::GetObjectW(form_.BackgroundBrush(), sizeof(brush), &brush), 0);
  EXPECT_EQ(brush.lbColor, TVYNLook::Dark().Background);
}

TEST(TVYNFontTest, PointSizesBecomePixelHeightsForTheDpi) {
  struct Case {
    int Points, Dpi, Height;
  };
  const Case cases[] = {{8, 96, -11}, {8, 144, -16}, {9, 120, -15}, {12, 96, -16}, {8, 192, -21}};
  for (const Case& c : cases) {
    EXPECT_EQ(GetFontPixelHeight(c.Points, c.Dpi), c.Height) << c.Points << " pt at " << c.Dpi;
  }
}

TEST(TVYNFontTest, FaceIsInstalledOrLeftToTheFontMapper) {
  EXPECT_FALSE(IsFontFaceInstalled(u"No Such Face Anywhere"));
  EXPECT_FALSE(IsFontFaceInstalled(u""));
  const String face = GetVYNFontFace();
  EXPECT_TRUE(face == u"Segoe UI" || IsFontFaceInstalled(face)) << StringToUtf8(face);

  // Whatever face the mapper picks, the font exists and has the asked-for height and weight.
  const platform::ScopedFont font = CreateVYNFont(TVYNFontStyle{.PointSize = 8, .Bold = true}, 144);
  ASSERT_TRUE(font);
  LOGFONTW described{};
  ASSERT_NE(::GetObjectW(font.Get(), sizeof(described), &described), 0);
  EXPECT_EQ(described.lfHeight, -16);
  EXPECT_EQ(described.lfWeight, FW_BOLD);
}

}  // namespace

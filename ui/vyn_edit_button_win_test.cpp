#include "ui/vyn_edit_button_win.h"
#include "ui/vyn_test_helpers_win.h"

#include <windows.h>

#include <memory>
#include <tuple>

#include <gtest/gtest.h>

#include "platform/handle_traits_win.h"
#include "platform/windows_text.h"
#include "ui/vyn_controls_win.h"
#include "ui/vyn_form_win.h"
#include "ui/vyn_message_loop_win.h"
#include "ui/vyn_panel_win.h"

namespace {

String WindowText(HWND window) {
  wchar_t buffer[256] = {};
  const auto length = ::SendMessageW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer));
  return FromWide(buffer, static_cast<size_t>(length));
}

// A child's place in the client area of the window it sits on.
RECT ChildRect(HWND child) {
  RECT rect{};
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

class TVYNEditButtonTest : public ::testing::Test {
 protected:
  void SetUp() override { form_.Show(SW_SHOWNOACTIVATE); }

  TVYNForm form_{TVYNFormOptions{.Dpi = 96}};
};

TEST_F(TVYNEditButtonTest, DriverFindsAStandardEditAndAButtonByItsText) {
  TVYNEditButton path(form_, 10, TVYNBounds{60, 70, 540, 21}, u"Browse...", 100);
  path.SetText(u"C:\\Program Files\\Player\\");

  const HWND edit = ::FindWindowExW(path.Handle(), nullptr, L"Edit", nullptr);
  const HWND button = ::FindWindowExW(path.Handle(), nullptr, L"Button", L"Browse...");
  ASSERT_NE(edit, nullptr);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(edit, path.EditHandle());
  EXPECT_EQ(button, path.ButtonHandle());
  EXPECT_EQ(WindowText(edit), u"C:\\Program Files\\Player\\");
  EXPECT_EQ(path.ButtonCaption(), u"Browse...");

  path.SetButtonCaption(u"Durchsuchen...");
  EXPECT_EQ(WindowText(button), u"Durchsuchen...");
  // One line only: Enter belongs to the form's default button, not to a new line.
  EXPECT_EQ(::GetWindowLongW(edit, GWL_STYLE) & ES_MULTILINE, 0);
}

TEST_F(TVYNEditButtonTest, OnChangeFiresForTheUsersEditsButNotForSetText) {
  TVYNEditButton path(form_, 10, TVYNBounds{60, 70, 540, 21}, u"Browse...", 100);
  int changes = 0;
  String seen;
  path.OnChange = [&] {
    ++changes;
    seen = path.Text();
  };

  path.SetText(u"C:\\Apps\\");
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(path.Text(), u"C:\\Apps\\");

  // What typing, pasting or a driver's WM_SETTEXT do to the edit; each is the user's change.
  struct Case {
    const char* What;
    UINT Message;
    WPARAM WParam;
    const wchar_t* LParam;
    String Expected;
  };
  const Case cases[] = {
      {"replace the selection", EM_REPLACESEL, TRUE, L"Player", u"C:\\Apps\\Player"},
      {"type a character", WM_CHAR, L'2', nullptr, u"C:\\Apps\\Player2"},
      {"text set from outside", WM_SETTEXT, 0, L"D:\\Music", u"D:\\Music"},
  };
  ::SendMessageW(path.EditHandle(), EM_SETSEL, 8, 8);
  for (const Case& c : cases) {
    changes = 0;
    ::SendMessageW(path.EditHandle(), c.Message, c.WParam, reinterpret_cast<LPARAM>(c.LParam));
    EXPECT_EQ(changes, 1) << c.What;
    EXPECT_EQ(seen, c.Expected) << c.What;
  }

  // A handler that answers a change by setting the text (the page cleaning up a path) is not
  // called again by its own SetText.
  changes = 0;
  path.OnChange = [&] {
    ++changes;
    path.SetText(u"E:\\Cleaned\\");
  };
  ::SendMessageW(path.EditHandle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"E:\\typed"));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(path.Text(), u"E:\\Cleaned\\");
}

TEST_F(TVYNEditButtonTest, ButtonClickCallsOnButtonClick) {
  TVYNEditButton path(form_, 10, TVYNBounds{60, 70, 540, 21}, u"Browse...", 100);
  ::SendMessageW(path.ButtonHandle(), BM_CLICK, 0, 0);  // no handler yet: nothing happens
  int clicks = 0;
  int changes = 0;
  path.OnButtonClick = [&] { ++clicks; };
  path.OnChange = [&] { ++changes; };
  ::SendMessageW(path.ButtonHandle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(changes, 0);
}

TEST(TVYNEditButtonLayoutTest, EditThenButtonScaledWithTheForm) {
  struct Case {
    int Dpi;
    RECT Control, Edit, Button;
  };
  // 21 × 1.5 = 31.5 and 60 × 1.5 = 90: MulDiv rounds halves away from zero.
  const Case cases[] = {
      {96, {60, 70, 600, 91}, {0, 0, 440, 21}, {440, 0, 540, 21}},
      {144, {90, 105, 900, 137}, {0, 0, 660, 32}, {660, 0, 810, 32}},
  };
  for (const Case& c : cases) {
    TVYNForm form(TVYNFormOptions{.Dpi = c.Dpi});
    TVYNEditButton path(form, 10, TVYNBounds{60, 70, 540, 21}, u"Browse...", 100);
    const RECT control = ChildRect(path.Handle());
    const RECT edit = ChildRect(path.EditHandle());
    const RECT button = ChildRect(path.ButtonHandle());
    EXPECT_TRUE(::EqualRect(&control, &c.Control)) << c.Dpi << " DPI";
    EXPECT_TRUE(::EqualRect(&edit, &c.Edit)) << c.Dpi << " DPI: " << edit.right;
    EXPECT_TRUE(::EqualRect(&button, &c.Button)) << c.Dpi << " DPI: " << button.left;
  }
}

TEST(TVYNEditButtonLayoutTest, FollowsDpiChangesButtonWidthAndAMoveOntoAPanel) {
  TVYNForm form(TVYNFormOptions{.Dpi = 96});
  TVYNPanel page(form, 5, TVYNBounds{10, 10, 600, 300});
  TVYNEditButton path(form, 10, TVYNBounds{60, 70, 540, 21}, u"Browse...", 100);
  path.SetParentWindow(page.Handle());
  EXPECT_EQ(::GetParent(path.Handle()), page.Handle());
  EXPECT_EQ(ChildRect(path.Handle()).left, 60);

  RECT suggested{0, 0, 1000, 800};
  ::SendMessageW(form.Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(ChildRect(path.Handle()).left, 90);
  EXPECT_EQ(ChildRect(path.EditHandle()).right, 660);
  EXPECT_EQ(ChildRect(path.ButtonHandle()).left, 660);
  EXPECT_EQ(ChildRect(path.ButtonHandle()).right, 810);

  path.SetButtonWidth(80);
  EXPECT_EQ(path.ButtonWidth(), 80);
  EXPECT_EQ(ChildRect(path.EditHandle()).right, 690);
  EXPECT_EQ(ChildRect(path.ButtonHandle()).left, 690);
  // A button wider than the control takes all of it, never more.
  path.SetButtonWidth(1000);
  EXPECT_EQ(path.ButtonWidth(), 540);
  EXPECT_EQ(ChildRect(path.EditHandle()).right, 0);
  EXPECT_EQ(ChildRect(path.ButtonHandle()).right, 810);
}

TEST(TVYNEditButtonKeyboardTest, TabReachesTheEditThenTheButtonAndSetFocusTheEdit) {
  TVYNForm form(TVYNFormOptions{});
  TVYNCheckBox before(form, 1, TVYNBounds{12, 12, 200, 20}, u"Before");
  TVYNEditButton path(form, 2, TVYNBounds{12, 40, 400, 21}, u"Browse...", 100);
  TVYNCheckBox after(form, 3, TVYNBounds{12, 70, 200, 20}, u"After");
  form.Show(SW_SHOWNORMAL);
  ProcessPendingMessages();

  path.SetFocus();
  EXPECT_EQ(::GetFocus(), path.EditHandle());
  before.SetFocus();
  ASSERT_EQ(::GetFocus(), before.Handle());
  const HWND order[] = {path.EditHandle(), path.ButtonHandle(), after.Handle(), before.Handle()};
  for (const HWND expected : order) {
    PressKey(::GetFocus(), VK_TAB);
    EXPECT_EQ(::GetFocus(), expected) << StringToUtf8(WindowText(expected));
  }
}

TEST_F(TVYNEditButtonTest, DisablingTheControlDisablesTheEditAndTheButton) {
  TVYNEditButton path(form_, 10, TVYNBounds{60, 70, 540, 21}, u"Browse...", 100);
  path.SetEnabled(false);
  EXPECT_FALSE(path.Enabled());
  EXPECT_FALSE(::IsWindowEnabled(path.EditHandle()));
  EXPECT_FALSE(::IsWindowEnabled(path.ButtonHandle()));
  path.SetEnabled(true);
  EXPECT_TRUE(::IsWindowEnabled(path.EditHandle()));
  EXPECT_TRUE(::IsWindowEnabled(path.ButtonHandle()));
}

TEST_F(TVYNEditButtonTest, EditTakesTheLooksColours) {
  TVYNEditButton path(form_, 10, TVYNBounds{60, 70, 540, 21}, u"Browse...", 100);
  // The edit asks the window it sits on, as any edit does.
  const auto ask = [&](UINT message) {
    const platform::ScopedMemoryDc dc(::CreateCompatibleDC(nullptr));
    const auto brush = reinterpret_cast<HBRUSH>(
        ::SendMessageW(::GetParent(path.EditHandle()), message, reinterpret_cast<WPARAM>(dc.Get()),
                       reinterpret_cast<LPARAM>(path.EditHandle())));
    return std::make_tuple(::GetTextColor(dc.Get()), ::GetBkColor(dc.Get()), brush);
  };
  for (const TVYNLook& look : {TVYNLook::Dark(), TVYNLook::Light()}) {
    form_.SetLook(look);
    const auto [text, background, brush] = ask(WM_CTLCOLOREDIT);
    EXPECT_EQ(text, look.Text);
    EXPECT_EQ(background, look.Background);
    EXPECT_EQ(brush, form_.BackgroundBrush());
  }
  path.SetEnabled(false);  // a disabled edit asks with WM_CTLCOLORSTATIC
  EXPECT_EQ(std::get<0>(ask(WM_CTLCOLORSTATIC)), form_.Look().DisabledText);
}

TEST(TVYNEditButtonLifetimeTest, OutlivingItsWindowsIsHarmless) {
  // The page it sits on goes first, taking the control's windows with it.
  TVYNForm form(TVYNFormOptions{});
  auto page = std::make_unique<TVYNPanel>(form, 5, TVYNBounds{0, 0, 600, 300});
  TVYNEditButton on_page(form, 10, TVYNBounds{60, 70, 540, 21}, u"Browse...", 100);
  on_page.SetParentWindow(page->Handle());
  page.reset();
  EXPECT_EQ(on_page.Handle(), nullptr);
  EXPECT_EQ(on_page.EditHandle(), nullptr);
  EXPECT_EQ(on_page.ButtonHandle(), nullptr);
  EXPECT_EQ(on_page.Text(), u"");
  on_page.SetText(u"ignored");
  on_page.SetBounds(TVYNBounds{0, 0, 100, 21});

  // The form's window closes while the control still exists.
  TVYNEditButton on_form(form, 11, TVYNBounds{60, 100, 540, 21}, u"Browse...", 100);
  ::DestroyWindow(form.Handle());
  EXPECT_EQ(on_form.EditHandle(), nullptr);
  EXPECT_EQ(on_form.Text(), u"");
  on_form.SetButtonWidth(50);
}

}  // namespace

#include "ui/vyn_form_win.h"
#include "ui/vyn_test_helpers_win.h"

#include <windows.h>

#include <cstdint>
#include <optional>

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "ui/installer_palette.h"
#include "ui/vyn_controls_win.h"
#include "ui/vyn_message_loop_win.h"

namespace {

constexpr char16_t PersonalizeKey[] =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

SIZE ClientSize(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  return SIZE{client.right, client.bottom};
}

// A child's place in its parent's client area.
RECT ChildRect(HWND child) {
  RECT rect{};
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

LONG FontHeight(HWND window) {
  LOGFONTW font{};
  const auto handle = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
  if (handle == nullptr || ::GetObjectW(handle, sizeof(font), &font) == 0) return 0;
  return font.lfHeight;
}

TEST(TVYNFormTest, ClientSizeIsScaledToTheDpi) {
  struct Case {
    int Dpi;
    LONG Width, Height;
  };
  const Case cases[] = {{96, 640, 480}, {120, 800, 600}, {144, 960, 720}};
  for (const Case& c : cases) {
    TVYNFormOptions options;
    options.Dpi = c.Dpi;
    TVYNForm form(options);
    const SIZE size = ClientSize(form.Handle());
    EXPECT_EQ(size.cx, c.Width) << c.Dpi << " DPI";
    EXPECT_EQ(size.cy, c.Height) << c.Dpi << " DPI";
    EXPECT_EQ(form.Scale(), (TVYNScale{c.Dpi, 96}));
  }
}

TEST(TVYNFormTest, TakesTheWindowsOwnDpiByDefault) {
  TVYNForm form(TVYNFormOptions{});
  EXPECT_EQ(form.Dpi(), GetWindowDpi(form.Handle()));
  const SIZE size = ClientSize(form.Handle());
  EXPECT_EQ(size.cx, ::MulDiv(640, form.Dpi(), 96));
  EXPECT_EQ(size.cy, ::MulDiv(480, form.Dpi(), 96));
  // A fixed-size wizard: no sizing frame, no minimize or maximize box.
  const LONG style = ::GetWindowLongW(form.Handle(), GWL_STYLE);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
  EXPECT_NE(style & WS_SYSMENU, 0);
}

TEST(TVYNFormTest, DpiChangeMovesToTheSuggestedRectAndRescalesEveryControl) {
  TVYNForm form(TVYNFormOptions{.Dpi = 96});
  TVYNButton next(form, 2, TVYNBounds{511, 447, 121, 25}, u"Next");
  TVYNLabel version(form, 3, TVYNBounds{12, 447, 257, 25}, u"1.0");
  int scale_changes = 0;
  TVYNScale seen_scale;
  form.OnScaleChanged = [&] {
    ++scale_changes;
    seen_scale = form.Scale();
  };
  EXPECT_EQ(FontHeight(next.Handle()), -11);  // 8 points at 96 DPI

  RECT suggested{20, 30, 20 + 990, 30 + 760};
  ::SendMessageW(form.Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));

  EXPECT_EQ(scale_changes, 1);
  // The listener runs after the controls were rescaled and sees the new factor.
  EXPECT_EQ(seen_scale, (TVYNScale{144, 96}));
  RECT window{};
  ::GetWindowRect(form.Handle(), &window);
  EXPECT_EQ(window.left, 20);
  EXPECT_EQ(window.top, 30);
  EXPECT_EQ(window.right - window.left, 990);
  EXPECT_EQ(window.bottom - window.top, 760);

  // Halves round away from zero, as MulDiv does: 511 × 1.5 = 766.5 → 767.
  const RECT button = ChildRect(next.Handle());
  EXPECT_EQ(button.left, 767);
  EXPECT_EQ(button.top, 671);
  EXPECT_EQ(button.right - button.left, 182);
  EXPECT_EQ(button.bottom - button.top, 38);
  EXPECT_EQ(FontHeight(next.Handle()), -16);
  EXPECT_EQ(FontHeight(version.Handle()), -16);
  const RECT label = ChildRect(version.Handle());
  EXPECT_EQ(label.left, 18);
  EXPECT_EQ(label.right - label.left, 386);  // 385.5
  // The layout stays what it was at 96 DPI: a later change scales from there, not from 144.
  EXPECT_EQ(next.Bounds(), (TVYNBounds{511, 447, 121, 25}));
}

TEST(TVYNFormTest, CloseQueryDecidesWhetherTheWindowCloses) {
  TVYNForm form(TVYNFormOptions{});
  const HWND window = form.Handle();
  int asked = 0;
  bool allow = false;
  form.OnCloseQuery = [&] {
    ++asked;
    return allow;
  };
  EXPECT_FALSE(form.Close());
  ::SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(::IsWindow(window));
  EXPECT_EQ(form.Handle(), window);

  allow = true;
  EXPECT_TRUE(form.Close());
  EXPECT_EQ(asked, 3);
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_EQ(form.Handle(), nullptr);
}

TEST(TVYNFormTest, ControlsOutlivingTheWindowForgetTheirHandles) {
  TVYNForm form(TVYNFormOptions{});
  TVYNCheckBox box(form, 4, TVYNBounds{10, 10, 100, 20}, u"Box");
  ASSERT_TRUE(form.Close());
  EXPECT_EQ(box.Handle(), nullptr);
  EXPECT_FALSE(box.Checked());
  EXPECT_EQ(box.Caption(), u"");
  box.SetCaption(u"late");  // must not reach a window that may have been reused
}

// Sets the user's app mode for one test and puts the previous value back, since the Wine
// prefix is shared by every test program.
class AppModeSetting {
 public:
  AppModeSetting() {
    const platform::RegistryKey key = platform::RegistryKey::Open(
        platform::RegistryRoot::CurrentUser, PersonalizeKey, platform::RegistryAccess::Read);
    uint32_t value = 0;
    if (key.IsOpen() && key.ReadDword(u"AppsUseLightTheme", value)) saved_ = value;
  }
  ~AppModeSetting() { Set(saved_); }
  AppModeSetting(const AppModeSetting&) = delete;
  AppModeSetting& operator=(const AppModeSetting&) = delete;

  static void Set(std::optional<uint32_t> apps_use_light_theme) {
    platform::RegistryKey key =
        platform::RegistryKey::Create(platform::RegistryRoot::CurrentUser, PersonalizeKey);
    ASSERT_TRUE(key.IsOpen());
    if (apps_use_light_theme) {
      ASSERT_TRUE(key.WriteDword(u"AppsUseLightTheme", *apps_use_light_theme));
    } else {
      (void)key.DeleteValue(u"AppsUseLightTheme");
    }
  }

 private:
  std::optional<uint32_t> saved_;
};

void AnnounceSettingChange(HWND window, const wchar_t* area) {
  ::SendMessageW(window, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(area));
}

TEST(TVYNFormTest, DarkFlagFollowsTheAppModeSetting) {
  const AppModeSetting restore;
  AppModeSetting::Set(0);
  TVYNForm form(TVYNFormOptions{.ReadDarkMode = ReadDarkModeFlag});
  EXPECT_TRUE(form.IsDarkMode());
  EXPECT_EQ(form.Look(), TVYNLook::Dark());
  int changes = 0;
  form.OnColorSchemeChanged = [&] { ++changes; };

  struct Case {
    std::optional<uint32_t> AppsUseLightTheme;
    bool Dark;
  };
  const Case cases[] = {{1, false}, {0, true}, {std::nullopt, false}, {0, true}, {2, false}};
  for (const Case& c : cases) {
    AppModeSetting::Set(c.AppsUseLightTheme);
    AnnounceSettingChange(form.Handle(), L"ImmersiveColorSet");
    EXPECT_EQ(form.IsDarkMode(), c.Dark) << c.AppsUseLightTheme.value_or(99);
    EXPECT_EQ(form.Look(), c.Dark ? TVYNLook::Dark() : TVYNLook::Light());
  }
  EXPECT_EQ(changes, 5);

  // Other settings leave the scheme alone, even when the value changed meanwhile.
  ASSERT_FALSE(form.IsDarkMode());
  AppModeSetting::Set(0);
  AnnounceSettingChange(form.Handle(), L"Environment");
  AnnounceSettingChange(form.Handle(), nullptr);
  EXPECT_EQ(changes, 5);
  EXPECT_FALSE(form.IsDarkMode());
}

TEST(TVYNFormTest, WithoutAReaderTheFormStaysLight) {
  const AppModeSetting restore;
  AppModeSetting::Set(0);
  TVYNForm form(TVYNFormOptions{});
  AnnounceSettingChange(form.Handle(), L"ImmersiveColorSet");
  EXPECT_FALSE(form.IsDarkMode());
  EXPECT_EQ(form.Look(), TVYNLook::Light());
}

TEST(TVYNFormTest, EnterPressesTheDefaultButtonAndTabFollowsCreationOrder) {
  TVYNForm form(TVYNFormOptions{});
  TVYNButton back(form, 1, TVYNBounds{384, 447, 121, 25}, u"Back");
  TVYNButton next(form, 2, TVYNBounds{511, 447, 121, 25}, u"Next");
  TVYNCheckBox box(form, 3, TVYNBounds{12, 12, 200, 20}, u"Option");
  int back_clicks = 0;
  int next_clicks = 0;
  back.OnClick = [&] { ++back_clicks; };
  next.OnClick = [&] { ++next_clicks; };
  form.Show(SW_SHOWNORMAL);
  ProcessPendingMessages();

  // Enter is the default button's, wherever the focus is, except on another button.
  PressKey(box.Handle(), VK_RETURN);
  EXPECT_EQ(next_clicks, 0) << "no default button yet";
  // Without a default button the dialog navigation falls back to ID 1 (IDOK): that must not
  // press whatever button happens to carry that ID.
  EXPECT_EQ(back_clicks, 0);
  next.SetDefault(true);
  EXPECT_TRUE(next.IsDefault());
  EXPECT_FALSE(back.IsDefault());
  box.SetFocus();
  PressKey(box.Handle(), VK_RETURN);
  EXPECT_EQ(next_clicks, 1);
  EXPECT_EQ(back_clicks, 0);
  EXPECT_FALSE(box.Checked()) << "Enter is no click on the focused check box";

  // A disabled default button is not pressed.
  next.SetEnabled(false);
  PressKey(box.Handle(), VK_RETURN);
  EXPECT_EQ(next_clicks, 1);
  next.SetEnabled(true);

  back.SetFocus();
  ASSERT_EQ(::GetFocus(), back.Handle());
  PressKey(back.Handle(), VK_TAB);
  EXPECT_EQ(::GetFocus(), next.Handle());
  PressKey(next.Handle(), VK_TAB);
  EXPECT_EQ(::GetFocus(), box.Handle());
  PressKey(box.Handle(), VK_TAB);
  EXPECT_EQ(::GetFocus(), back.Handle());
}

TEST(TVYNFormTest, MainFormEndsTheMessageLoopWhenItCloses) {
  TVYNForm form(TVYNFormOptions{.QuitOnDestroy = true});
  ::PostMessageW(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_EQ(form.Handle(), nullptr);
}

}  // namespace

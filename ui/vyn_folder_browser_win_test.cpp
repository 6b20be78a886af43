#include "ui/vyn_folder_browser_win.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file_name.h"
#include "platform/windows_text.h"
#include "ui/vyn_form_win.h"

namespace {

TEST(TVYNFolderBrowserTest, StartsAtTheNearestExistingFolder) {
  const std::set<String> existing = {u"C:\\", u"C:\\Apps", u"C:/Music", u"\\\\server\\share"};
  std::vector<String> asked;
  const auto exists = [&](StringView folder) {
    asked.emplace_back(folder);
    return existing.count(String(folder)) != 0;
  };
  struct Case {
    String Path;
    std::optional<String> Start;
  };
  const Case cases[] = {
      {u"C:\\Apps", u"C:\\Apps"},
      {u"C:\\Apps\\", u"C:\\Apps"},
      {u"C:\\Apps\\\\", u"C:\\Apps"},
      {u"C:\\Apps\\Player\\", u"C:\\Apps"},
      {u"C:\\Apps\\a\\b\\c", u"C:\\Apps"},
      {u"C:\\Other\\Player", u"C:\\"},
      {u"C:\\", u"C:\\"},
      {u"C:/Music/Player/", u"C:/Music"},
      {u"\\\\server\\share\\Apps\\Player", u"\\\\server\\share"},
      {u"D:\\Apps\\Player", std::nullopt},  // no such drive
      {u"\\\\other\\share\\Player", std::nullopt},
      {u"Apps\\Player", std::nullopt},  // relative: nothing to start from
      {u"C:Player", std::nullopt},
      {u"", std::nullopt},
  };
  for (const Case& c : cases) {
    asked.clear();
    EXPECT_EQ(FindVYNBrowserStartFolder(c.Path, exists), c.Start) << StringToUtf8(c.Path);
    // Above a share's root lies a server, which is no folder to ask the network about.
    for (const String& folder : asked) {
      EXPECT_TRUE(platform::IsAbsolutePath(folder)) << StringToUtf8(folder);
      EXPECT_NE(folder, u"\\\\other") << StringToUtf8(c.Path);
    }
  }
}

// A folder of its own in the temporary folder, with one subfolder, removed at the end.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    path_ = FromWide(temp) + u"vyn-folder-browser-" +
            Utf8ToString(std::to_string(::GetCurrentProcessId()));
    ::CreateDirectoryW(ToWide(path_), nullptr);
    ::CreateDirectoryW(ToWide(Sub()), nullptr);
  }
  ~TemporaryFolder() {
    ::RemoveDirectoryW(ToWide(Sub()));
    ::RemoveDirectoryW(ToWide(path_));
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const String& Path() const { return path_; }
  String Sub() const { return path_ + u"\\Sub"; }

 private:
  String path_;
};

// The picker: a visible dialog of this process owned by the owner.
struct FoundDialog {
  DWORD Process;
  HWND Owner;
  HWND Window = nullptr;
};

BOOL CALLBACK NoteDialog(HWND window, LPARAM found_address) {
  auto& found = *reinterpret_cast<FoundDialog*>(found_address);
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (process != found.Process || !::IsWindowVisible(window) ||
      ::GetWindow(window, GW_OWNER) != found.Owner) {
    return TRUE;
  }
  found.Window = window;
  return FALSE;
}

struct DialogChildren {
  std::vector<String> Texts;
  HWND Edit = nullptr;  // the first, which takes the typed name
};

BOOL CALLBACK NoteChild(HWND window, LPARAM children_address) {
  auto& children = *reinterpret_cast<DialogChildren*>(children_address);
  wchar_t text[256] = {};
  ::GetWindowTextW(window, text, 256);
  children.Texts.push_back(FromWide(text));
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  if (children.Edit == nullptr && ::lstrcmpiW(name, L"Edit") == 0) children.Edit = window;
  return TRUE;
}

// Plays the user of the picker from another thread: waits for it, notes its caption and the
// texts of its controls, types a name when given one, then presses a button by ID. A picker
// that does not go away then is cancelled, so that a fault fails the test instead of hanging.
class PickerUser {
 public:
  PickerUser(HWND owner, int button, const String& typed)
      : thread_([this, owner, button, typed] { Run(owner, button, typed); }) {}
  ~PickerUser() { Finish(); }
  PickerUser(const PickerUser&) = delete;
  PickerUser& operator=(const PickerUser&) = delete;

  // The results below are read after this.
  void Finish() {
    if (thread_.joinable()) thread_.join();
  }
  bool Found() const { return found_; }
  bool ClosedByTheButton() const { return closed_; }
  const String& Caption() const { return caption_; }
  const std::vector<String>& Texts() const { return children_.Texts; }

 private:
  static HWND WaitForDialog(HWND owner) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    FoundDialog dialog{::GetCurrentProcessId(), owner};
    while (dialog.Window == nullptr && std::chrono::steady_clock::now() < deadline) {
      ::EnumWindows(NoteDialog, reinterpret_cast<LPARAM>(&dialog));
      if (dialog.Window == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return dialog.Window;
  }

  static bool WaitUntilGone(HWND window) {
    for (int i = 0; i < 100 && ::IsWindow(window); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return !::IsWindow(window);
  }

  void Run(HWND owner, int button, const String& typed) {
    const HWND dialog = WaitForDialog(owner);
    if (dialog == nullptr) return;
    found_ = true;
    wchar_t caption[256] = {};
    ::GetWindowTextW(dialog, caption, 256);
    caption_ = FromWide(caption);
    ::EnumChildWindows(dialog, NoteChild, reinterpret_cast<LPARAM>(&children_));
    if (!typed.empty() && children_.Edit != nullptr) {
      ::SendMessageW(children_.Edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ToWide(typed)));
    }
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
    closed_ = WaitUntilGone(dialog);
    while (::IsWindow(dialog)) {
      // A message box the picker put up over itself (a name it refused) goes first.
      FoundDialog box{::GetCurrentProcessId(), dialog};
      ::EnumWindows(NoteDialog, reinterpret_cast<LPARAM>(&box));
      for (const HWND window : {box.Window, dialog}) {
        if (window == nullptr) continue;
        ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
  }

  std::atomic<bool> found_ = false;
  std::atomic<bool> closed_ = false;
  String caption_;
  DialogChildren children_;
  std::thread thread_;
};

TEST(TVYNFolderBrowserTest, ShowsTheTextsOpensAtTheDestinationAndAnswersOkAndCancel) {
  TemporaryFolder folder;
  TVYNForm owner(TVYNFormOptions{});
  owner.Show(SW_SHOWNOACTIVATE);
  const TVYNFolderBrowserTexts texts{u"Pick a destination", u"Make folder", u"Take it",
                                     u"Leave it"};
  struct Case {
    const char* What;
    int Button;
    String Typed;
    std::optional<String> Chosen;
  };
  const Case cases[] = {
      {"cancelled", IDCANCEL, u"", std::nullopt},
      // A name relative to where the picker opened: the destination's nearest existing folder,
      // since the destination itself does not exist yet.
      {"confirmed", IDOK, u"Sub", folder.Sub()},
  };
  for (const Case& c : cases) {
    std::optional<String> chosen;
    PickerUser user(owner.Handle(), c.Button, c.Typed);
    chosen = ShowVYNFolderBrowser(owner.Handle(), folder.Path() + u"\\Player\\", texts);
    user.Finish();
    ASSERT_TRUE(user.Found()) << c.What;
    EXPECT_TRUE(user.ClosedByTheButton()) << c.What;
    EXPECT_EQ(user.Caption(), texts.Caption) << c.What;
    const std::vector<String>& seen = user.Texts();
    EXPECT_NE(std::find(seen.begin(), seen.end(), u"Take it"), seen.end()) << c.What;
    ASSERT_EQ(chosen.has_value(), c.Chosen.has_value()) << c.What;
    if (chosen) {
      EXPECT_TRUE(
          platform::SameFileName(platform::ExcludeTrailingPathDelimiter(*chosen), *c.Chosen))
          << StringToUtf8(*chosen);
    }
  }
}

}  // namespace

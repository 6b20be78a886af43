// ZELO.exe, the demo player: a main window of the class Setup looks for, which records how it
// was started and closes as soon as it is asked to.
//
//   ZELO.exe [/play FILE | /add FILE | FILE] [/window=CLASS]... [/refuse-close=N]
//
// /window=CLASS opens one more top-level window of that class. It stands in for a companion
// program (the converter, the library, an older version's main window) that Setup closes too.
// /refuse-close=N turns down the first N close requests of the process, as a player busy
// saving its playlist would; Setup asks again on its next pass.
//
// The log "ZELO.log" (demo_log_win.h) receives "started: <command line>", "settings: ...",
// "refused: <class>" and "closed: <class>" for each close request, and "ended: <exit code>".
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "platform/windows_text.h"
#include "support/format_text.h"
#include "tools/demo/demo_log_win.h"
#include "tools/demo/player_settings.h"

namespace {

constexpr wchar_t MainWindowClass[] = L"TZELOMainForm";

// The window procedure serves every window of the process and has no other way to reach it.
struct {
  int OpenWindows = 0;
  int RefusalsLeft = 0;
} player;

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  ::GetClassNameW(window, name, 256);
  return name;
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      if (player.RefusalsLeft > 0) {
        --player.RefusalsLeft;
        demo::AppendLog(nullptr, L"refused: " + ClassOf(window));
        return 0;
      }
      demo::AppendLog(nullptr, L"closed: " + ClassOf(window));
      ::DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      // The player ends with its last window, whichever that is.
      if (--player.OpenWindows == 0) ::PostQuitMessage(0);
      return 0;
    default: return ::DefWindowProcW(window, message, wparam, lparam);
  }
}

bool RegisterWindowClass(HINSTANCE instance, const std::wstring& name) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = WindowProcedure;
  window_class.hInstance = instance;
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = name.c_str();
  // A second /window= of the same class finds it registered already.
  return ::RegisterClassExW(&window_class) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Hidden until its content is in place: whoever finds the window (Setup, a test) must never see
// it half built.
HWND OpenWindow(HINSTANCE instance, const std::wstring& class_name, const std::wstring& caption,
                int offset) {
  if (!RegisterWindowClass(instance, class_name)) return nullptr;
  HWND window =
      ::CreateWindowExW(0, class_name.c_str(), caption.c_str(),
                        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 120 + offset,
                        120 + offset, 480, 200, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return nullptr;
  ++player.OpenWindows;
  return window;
}

// The main window's text: what plays (the first file named), and what the settings say.
std::wstring MainWindowText(const std::vector<std::wstring>& arguments, HMODULE module) {
  const std::wstring folder = demo::FolderOf(demo::ModuleFileName(module));
  const demo::PlayerSettings settings = demo::ReadPlayerSettings(FromWide(folder.c_str()));
  const auto texts = demo::LoadPlayerTexts(FromWide(folder.c_str()), settings.DefaultLang);
  demo::AppendLog(module, L"settings: DefaultLang=" + std::wstring(ToWide(settings.DefaultLang)) +
                              L" Version=" + std::to_wstring(settings.Version) + L" UserMode=" +
                              (settings.UserMode ? L"1" : L"0"));

  String playing;
  for (const std::wstring& argument : arguments) {
    if (!argument.empty() && argument[0] != L'/') {
      playing = FormatText(texts->ReadString(u"MainForm", u"Playing", u"Playing: %s"),
                           {FromWide(argument.c_str())});
      break;
    }
  }
  if (playing.empty()) playing = texts->ReadString(u"MainForm", u"Idle", u"Nothing is playing.");
  const String version = FromWide(std::to_wstring(settings.Version).c_str());
  const String text =
      playing + u"\r\n\r\n" +
      texts->ReadString(u"MainForm", u"Hint", u"Open audio files or folders with ZELO.") +
      u"\r\n\r\n" +
      FormatText(texts->ReadString(u"MainForm", u"Settings", u"Language: %s. Version: %s."),
                 {settings.DefaultLang, version});
  return ToWide(text);
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
  const size_t length = std::wcslen(prefix);
  return text.size() >= length && ::_wcsnicmp(text.c_str(), prefix, length) == 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const std::wstring command_line = ::GetCommandLineW();
  demo::AppendLog(nullptr, L"started: " + command_line);
  const std::vector<std::wstring> arguments = demo::SplitArguments(demo::ArgumentsOf(command_line));

  std::vector<std::wstring> companions;
  for (const std::wstring& argument : arguments) {
    if (StartsWith(argument, L"/window=")) companions.push_back(argument.substr(8));
    if (StartsWith(argument, L"/refuse-close=")) {
      player.RefusalsLeft = _wtoi(argument.c_str() + 14);
    }
  }

  HWND main_window = OpenWindow(instance, MainWindowClass, L"ZELO", 0);
  if (main_window == nullptr) {
    demo::AppendLog(nullptr,
                    L"ended: 1 (no main window, error " + std::to_wstring(::GetLastError()) + L")");
    return 1;
  }
  RECT client;
  ::GetClientRect(main_window, &client);
  HWND label = ::CreateWindowExW(0, L"STATIC", MainWindowText(arguments, nullptr).c_str(),
                                 WS_CHILD | WS_VISIBLE | SS_LEFT, 16, 16, client.right - 32,
                                 client.bottom - 32, main_window, nullptr, instance, nullptr);
  ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
  ::ShowWindow(main_window, SW_SHOWNORMAL);

  int offset = 0;
  for (const std::wstring& companion : companions) {
    offset += 24;
    if (HWND window = OpenWindow(instance, companion, companion, offset)) {
      ::ShowWindow(window, SW_SHOWNORMAL);
    }
  }

  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  const int exit_code = static_cast<int>(message.wParam);
  demo::AppendLog(nullptr, L"ended: " + std::to_wstring(exit_code));
  return exit_code;
}

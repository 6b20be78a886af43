// The end-to-end tests' hands and eyes inside a Wine prefix: starts a program and records its
// full exit code, finds windows, reads their controls, and presses buttons, so that the Python
// harness can drive the setup from outside as a user would.
//
//   e2e-driver launch <result-file> <command-line-file>
//       Starts the command line (read as UTF-8 from a file, so quotes and backslashes reach the
//       program exactly as written), waits, and writes "exit=<code>" to the result file. Linux
//       sees only the low 8 bits of an exit code; this sees all 32.
//   e2e-driver find-window [--class C] [--caption T] [--timeout MS]
//       Waits for a visible top-level window and prints it as JSON: handle, class, caption,
//       owner, and its child controls (class, id, text, style, visible, enabled, checked).
//   e2e-driver spawn-window <log-file> <stop-file>
//       Plays the first, unelevated process of a setup: a message-only window that takes
//       spawn requests (WM_COPYDATA numbered with the registered message "SpawnToken") and
//       appends each requested command line to the log, one UTF-8 line each, until <stop-file>
//       exists. Prints the window's handle in decimal once it is ready.
//   e2e-driver write-files <source-folder> <target-folder>
//       Copies every file below the source folder to the same place below the target folder,
//       creating folders on the way, with plain CreateFile/WriteFile: the least a program that
//       writes those files can do, the floor the installation benchmark measures against.
//   e2e-driver delete-files <folder>
//       Deletes every file below the folder and then the folders, deepest first, with plain
//       DeleteFile/RemoveDirectory: the floor the uninstallation benchmark measures against.
//   e2e-driver hold [--exclusive] <file> <stop-file>
//       Keeps <file> open for reading, shared with readers and with renaming but not with
//       writers (as Windows holds a running program's file), until <stop-file> exists or two
//       minutes have passed. Prints "holding" once the file is open. With --exclusive nothing
//       is shared: nobody can read, write, rename, replace or delete the file meanwhile.
//   e2e-driver click --window HANDLE (--id ID | --text TEXT)
//       Presses a button of that window. The click is posted, not sent: a button that opens a
//       dialog would otherwise keep the driver waiting until somebody closed it.
//   e2e-driver close --window HANDLE [--timeout MS]
//       Asks a window to close (WM_CLOSE), sent and waited for as Setup sends it to the running
//       player; fails when the window is gone or does not answer in time.
//   e2e-driver time-to-window --class C [--through D] [--timeout MS] <result-file> <command-file>
//       Starts the command line and waits until the process shows a window of class C and has
//       painted it; a dialog of class D on the way is answered with OK once painted. Writes
//       "ms=<milliseconds>" from the start to then (and "through_ms=" for D), then ends the
//       program.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
  return out;
}

std::wstring FromUtf8(const std::string& text) {
  if (text.empty()) return {};
  const int size =
      ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

// UTF-8 given as hexadecimal digits.
std::string HexToBytes(const wchar_t* hex) {
  std::string bytes;
  for (size_t i = 0; hex[i] != L'\0' && hex[i + 1] != L'\0'; i += 2) {
    const wchar_t pair[3] = {hex[i], hex[i + 1], L'\0'};
    bytes.push_back(static_cast<char>(std::wcstoul(pair, nullptr, 16)));
  }
  return bytes;
}

std::string JsonString(const std::wstring& text) {
  std::string out = "\"";
  for (const char c : ToUtf8(text)) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

// Asks the window itself (WM_GETTEXT), as a screen reader does: GetWindowText on another
// process's window reads only the caption the system keeps, which a rich edit control leaves
// empty. A hung window answers with nothing.
std::wstring WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
    return {};
  }
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 5000, &copied)) {
    return {};
  }
  text.resize(std::min<size_t>(copied, text.size() - 1));
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  ::GetClassNameW(window, name, 256);
  return name;
}

// 32-bit pixels of a bitmap: either copied from the screen (a window of another process can
// only be seen there, its icon handle cannot be drawn from here), or an icon drawn by us.
class PixelCanvas {
 public:
  PixelCanvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    screen_ = ::GetDC(nullptr);
    memory_ = ::CreateCompatibleDC(screen_);
    bitmap_ = ::CreateDIBSection(memory_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    previous_ = ::SelectObject(memory_, bitmap_);
  }
  ~PixelCanvas() {
    ::SelectObject(memory_, previous_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(memory_);
    ::ReleaseDC(nullptr, screen_);
  }
  PixelCanvas(const PixelCanvas&) = delete;
  PixelCanvas& operator=(const PixelCanvas&) = delete;

  void CopyFromScreen(const RECT& area) {
    ::BitBlt(memory_, 0, 0, width_, height_, screen_, area.left, area.top, SRCCOPY);
  }
  void DrawIconOn(HICON icon, uint32_t background) {
    for (int i = 0; i < width_ * height_; ++i) static_cast<uint32_t*>(bits_)[i] = background;
    ::DrawIconEx(memory_, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  }
  std::vector<uint32_t> Pixels() {
    ::GdiFlush();
    const auto* first = static_cast<const uint32_t*>(bits_);
    std::vector<uint32_t> pixels(first, first + width_ * height_);
    for (uint32_t& pixel : pixels) pixel &= 0x00FFFFFF;
    return pixels;
  }

 private:
  int width_;
  int height_;
  HDC screen_;
  HDC memory_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
  void* bits_ = nullptr;
};

// Which of the system's message icons a static icon control shows, told by comparing what is
// on the screen with each system icon drawn over the same background. Needs a real display.
const char* CompareWithSystemIcons(HWND control) {
  RECT area;
  ::GetWindowRect(control, &area);
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return nullptr;
  PixelCanvas screen(width, height);
  screen.CopyFromScreen(area);
  const std::vector<uint32_t> shown = screen.Pixels();
  const struct {
    LPCWSTR Id;
    const char* Name;
  } icons[] = {{IDI_ERROR, "error"},
               {IDI_WARNING, "warning"},
               {IDI_QUESTION, "question"},
               {IDI_INFORMATION, "information"}};
  for (const auto& candidate : icons) {
    PixelCanvas drawn(width, height);
    drawn.DrawIconOn(::LoadIconW(nullptr, candidate.Id), shown.back());
    if (drawn.Pixels() == shown) return candidate.Name;
  }
  return "other";
}

// The box may be found a moment before it has painted itself, so a mismatch is retried for a
// while before the icon counts as none of the system's.
const char* SystemIconName(HWND control) {
  const char* name = nullptr;
  for (int attempt = 0; attempt < 20; ++attempt) {
    name = CompareWithSystemIcons(control);
    if (name == nullptr || std::string_view(name) != "other") break;
    ::Sleep(100);
  }
  return name;
}

// The texts of a combo box's items, as a screen reader lists them (CB_GETLBTEXT).
std::string ComboItems(HWND combo) {
  std::string json = "[";
  const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    std::wstring text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::max<LRESULT>(length, 0)));
    json += (i ? "," : "") + JsonString(text);
  }
  return json + "]";
}

// Selects the item of a window's first visible combo box with exactly that text and tells the
// combo box's parent, as a user's choice would (CBN_SELCHANGE).
int Select(int argc, wchar_t** argv) {
  HWND window = nullptr;
  std::wstring text;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::wstring option = argv[i];
    if (option == L"--window")
      window = reinterpret_cast<HWND>(_wcstoui64(argv[i + 1], nullptr, 10));
    if (option == L"--text-hex") text = FromUtf8(HexToBytes(argv[i + 1]));
  }
  HWND combo = window != nullptr ? ::FindWindowExW(window, nullptr, L"ComboBox", nullptr) : nullptr;
  const LRESULT index = combo != nullptr
                            ? ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(text.c_str()))
                            : CB_ERR;
  if (index == CB_ERR) {
    std::fprintf(stderr, "no such item\n");
    return 1;
  }
  ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ::SendMessageW(::GetParent(combo), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
  return 0;
}

std::string Describe(HWND window) {
  std::ostringstream json;
  json << "{\"window\":" << reinterpret_cast<uintptr_t>(window)
       << ",\"class\":" << JsonString(ClassName(window))
       << ",\"caption\":" << JsonString(WindowText(window))
       << ",\"owner\":" << reinterpret_cast<uintptr_t>(::GetWindow(window, GW_OWNER));
  // The client area on the screen, so that a screenshot's pixels can be told apart by place.
  RECT client{};
  ::GetClientRect(window, &client);
  ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  json << ",\"client\":[" << client.left << "," << client.top << "," << client.right << ","
       << client.bottom << "]";
  json << ",\"controls\":[";
  std::vector<HWND> children;
  ::EnumChildWindows(
      window,
      [](HWND child, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  for (size_t i = 0; i < children.size(); ++i) {
    const HWND child = children[i];
    const std::wstring class_name = ClassName(child);
    const LONG style = ::GetWindowLongW(child, GWL_STYLE);
    const bool is_button = _wcsicmp(class_name.c_str(), L"Button") == 0;
    json << (i ? "," : "") << "{\"class\":" << JsonString(class_name)
         << ",\"id\":" << ::GetDlgCtrlID(child) << ",\"text\":" << JsonString(WindowText(child))
         << ",\"style\":" << static_cast<unsigned long>(style)
         << ",\"visible\":" << (::IsWindowVisible(child) ? "true" : "false")
         << ",\"enabled\":" << (::IsWindowEnabled(child) ? "true" : "false") << ",\"checked\":"
         << (is_button && ::SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED ? "true"
                                                                                  : "false");
    if (_wcsicmp(class_name.c_str(), L"ComboBox") == 0) json << ",\"items\":" << ComboItems(child);
    if (_wcsicmp(class_name.c_str(), L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
      const char* icon = SystemIconName(child);
      if (icon != nullptr) json << ",\"icon\":\"" << icon << "\"";
    }
    json << "}";
  }
  json << "]}";
  return json.str();
}

struct WindowQuery {
  std::wstring ClassName;
  std::wstring Caption;
  HWND Found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto* query = reinterpret_cast<WindowQuery*>(parameter);
  if (!::IsWindowVisible(window)) return TRUE;
  if (!query->ClassName.empty() && ClassName(window) != query->ClassName) return TRUE;
  if (!query->Caption.empty() && WindowText(window) != query->Caption) return TRUE;
  query->Found = window;
  return FALSE;
}

std::string ArgumentUtf8(wchar_t* argument) {
  return ToUtf8(argument);
}

int Launch(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  const std::filesystem::path result_file = argv[2];
  std::ifstream command_file(std::filesystem::path(argv[3]), std::ios::binary);
  std::stringstream command_bytes;
  command_bytes << command_file.rdbuf();
  std::wstring command_line = FromUtf8(command_bytes.str());
  while (!command_line.empty() && (command_line.back() == L'\n' || command_line.back() == L'\r')) {
    command_line.pop_back();
  }

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  // Right after the prefix's server was restarted (a scenario changed the display settings),
  // Wine can fail to start a process without a reason (error 0). That is the harness's state,
  // not the program's: try again for a few seconds before reporting the failure.
  DWORD error = 0;
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (attempt > 0) ::Sleep(500);
    if (::CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &process)) {
      error = ERROR_SUCCESS;
      break;
    }
    error = ::GetLastError();
    // A missing program or a refused one is an answer; only the reasonless failure is retried.
    if (error != ERROR_SUCCESS) break;
  }
  if (process.hProcess == nullptr) {
    std::ofstream(result_file) << "error=" << error << "\n";
    return 1;
  }
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exit_code = 0;
  ::GetExitCodeProcess(process.hProcess, &exit_code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  std::ofstream(result_file) << "exit=" << exit_code << "\n";
  return 0;
}

int FindWindow(int argc, wchar_t** argv) {
  WindowQuery query;
  DWORD timeout = 20000;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::wstring option = argv[i];
    if (option == L"--class") query.ClassName = argv[i + 1];
    if (option == L"--caption") query.Caption = argv[i + 1];
    if (option == L"--timeout") timeout = static_cast<DWORD>(_wtoi(argv[i + 1]));
  }
  const ULONGLONG deadline = ::GetTickCount64() + timeout;
  do {
    query.Found = nullptr;
    ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
    if (query.Found != nullptr) {
      std::printf("%s\n", Describe(query.Found).c_str());
      return 0;
    }
    ::Sleep(50);
  } while (::GetTickCount64() < deadline);
  std::fprintf(stderr, "no such window within %lu ms\n", static_cast<unsigned long>(timeout));
  return 1;
}

int Click(int argc, wchar_t** argv) {
  HWND window = nullptr;
  int id = -1;
  std::wstring text;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::wstring option = argv[i];
    if (option == L"--window")
      window = reinterpret_cast<HWND>(_wcstoui64(argv[i + 1], nullptr, 10));
    if (option == L"--id") id = _wtoi(argv[i + 1]);
    if (option == L"--text") text = argv[i + 1];
    // UTF-8 as hexadecimal digits: a command line passes through the Linux locale on its way
    // into the prefix, which may not carry every character.
    if (option == L"--text-hex") text = FromUtf8(HexToBytes(argv[i + 1]));
  }
  if (window == nullptr || !::IsWindow(window)) {
    std::fprintf(stderr, "no window %s\n", ArgumentUtf8(argv[3]).c_str());
    return 1;
  }
  struct Search {
    int Id;
    std::wstring Text;
    HWND Found;
    HWND FoundHidden;
  } search{id, text, nullptr, nullptr};
  // A page that has just been shown may still be busy for a moment: look again for a while.
  // A visible control is preferred to a hidden one of the same text on another page.
  const ULONGLONG deadline = ::GetTickCount64() + 5000;
  do {
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM parameter) -> BOOL {
          auto* wanted = reinterpret_cast<Search*>(parameter);
          std::wstring label = WindowText(child);
          std::erase(label, L'&');
          if ((wanted->Id >= 0 && ::GetDlgCtrlID(child) == wanted->Id) ||
              (!wanted->Text.empty() && label == wanted->Text)) {
            if (!::IsWindowVisible(child)) {
              if (wanted->FoundHidden == nullptr) wanted->FoundHidden = child;
              return TRUE;
            }
            wanted->Found = child;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.Found == nullptr) ::Sleep(100);
  } while (search.Found == nullptr && ::GetTickCount64() < deadline);
  if (search.Found == nullptr) search.Found = search.FoundHidden;
  if (search.Found == nullptr) {
    std::fprintf(stderr, "no such control\n");
    return 1;
  }
  ::PostMessageW(search.Found, BM_CLICK, 0, 0);
  return 0;
}

bool CopyTree(const std::wstring& source, const std::wstring& target) {
  ::CreateDirectoryW(target.c_str(), nullptr);
  WIN32_FIND_DATAW entry;
  const HANDLE find = ::FindFirstFileW((source + L"\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  std::vector<char> buffer(1 << 20);
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring from = source + L"\\" + name, to = target + L"\\" + name;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ok = CopyTree(from, to) && ok;
      continue;
    }
    const HANDLE in = ::CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    const HANDLE out = ::CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD read = 0, written = 0;
    while (in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE &&
           ::ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) &&
           read > 0) {
      ::WriteFile(out, buffer.data(), read, &written, nullptr);
    }
    ok = ok && in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE;
    if (in != INVALID_HANDLE_VALUE) ::CloseHandle(in);
    if (out != INVALID_HANDLE_VALUE) ::CloseHandle(out);
  } while (::FindNextFileW(find, &entry));
  ::FindClose(find);
  return ok;
}

int WriteFiles(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  return CopyTree(argv[2], argv[3]) ? 0 : 1;
}

bool DeleteTree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  const HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + L"\\" + name;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ok = DeleteTree(path) && ok;
    } else {
      ok = ::DeleteFileW(path.c_str()) && ok;
    }
  } while (::FindNextFileW(find, &entry));
  ::FindClose(find);
  return ::RemoveDirectoryW(folder.c_str()) && ok;
}

int DeleteFiles(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  return DeleteTree(argv[2]) ? 0 : 1;
}

struct SpawnLog {
  UINT Token;
  std::filesystem::path File;
};

LRESULT CALLBACK SpawnWindowProcedure(HWND window, UINT message, WPARAM first, LPARAM second) {
  auto* log = reinterpret_cast<SpawnLog*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_COPYDATA && log != nullptr) {
    const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(second);
    if (record != nullptr && record->dwData == log->Token) {
      const std::wstring text(static_cast<const wchar_t*>(record->lpData),
                              record->cbData / sizeof(wchar_t));
      std::ofstream(log->File, std::ios::app | std::ios::binary) << ToUtf8(text) << "\n";
      return 1;
    }
  }
  return ::DefWindowProcW(window, message, first, second);
}

int SpawnWindow(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  SpawnLog log{::RegisterWindowMessageW(L"SpawnToken"), std::filesystem::path(argv[2])};
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = &SpawnWindowProcedure;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"E2ESpawnWindow";
  ::RegisterClassExW(&window_class);
  const HWND window = ::CreateWindowExW(0, L"E2ESpawnWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, window_class.hInstance, nullptr);
  if (window == nullptr) return 1;
  ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&log));
  std::printf("%lld\n", static_cast<long long>(reinterpret_cast<intptr_t>(window)));
  std::fflush(stdout);
  const ULONGLONG deadline = ::GetTickCount64() + 300000;
  while (::GetFileAttributesW(argv[3]) == INVALID_FILE_ATTRIBUTES &&
         ::GetTickCount64() < deadline) {
    // Sent messages are handled inside this wait, as the real first process handles them.
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
  }
  ::DestroyWindow(window);
  return 0;
}

int Hold(int argc, wchar_t** argv) {
  const bool exclusive = argc > 2 && std::wstring(argv[2]) == L"--exclusive";
  if (exclusive) {
    --argc;
    ++argv;
  }
  if (argc < 4) return 2;
  const DWORD sharing = exclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_DELETE;
  const HANDLE file = ::CreateFileW(argv[2], GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "cannot open the file: error %lu\n", ::GetLastError());
    return 1;
  }
  std::printf("holding\n");
  std::fflush(stdout);
  const ULONGLONG deadline = ::GetTickCount64() + 120000;
  while (::GetFileAttributesW(argv[3]) == INVALID_FILE_ATTRIBUTES &&
         ::GetTickCount64() < deadline) {
    ::Sleep(50);
  }
  ::CloseHandle(file);
  return 0;
}

int Close(int argc, wchar_t** argv) {
  HWND window = nullptr;
  UINT timeout = 10000;
  bool as_user = false;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::wstring option = argv[i];
    if (option == L"--window")
      window = reinterpret_cast<HWND>(_wcstoui64(argv[i + 1], nullptr, 10));
    if (option == L"--timeout") timeout = static_cast<UINT>(_wtoi(argv[i + 1]));
    if (option == L"--as-user") as_user = std::wstring_view(argv[i + 1]) == L"1";
  }
  if (as_user) {
    // What the title bar's close box and Alt+F4 do; posted, since the window may answer with
    // a modal question that the caller goes on to answer.
    if (window == nullptr || !::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0)) {
      std::fprintf(stderr, "the window did not take the close request\n");
      return 1;
    }
    return 0;
  }
  DWORD_PTR answer = 0;
  if (window == nullptr || !::IsWindow(window) ||
      ::SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_NORMAL, timeout, &answer) == 0) {
    std::fprintf(stderr, "the window did not take the close request\n");
    return 1;
  }
  return 0;
}

// Presses a key in a window as the keyboard would: the key goes to the control that has the
// focus in that window's thread, through its message queue, so dialog navigation (Tab, Enter on
// the default button, Space on a check box) sees it. Prints the class of the control.
int Key(int argc, wchar_t** argv) {
  HWND window = nullptr;
  UINT key = 0;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::wstring option = argv[i];
    if (option == L"--window")
      window = reinterpret_cast<HWND>(_wcstoui64(argv[i + 1], nullptr, 10));
    if (option == L"--vk") key = static_cast<UINT>(_wtoi(argv[i + 1]));
  }
  GUITHREADINFO thread{};
  thread.cbSize = sizeof(thread);
  if (window == nullptr || key == 0 ||
      !::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &thread)) {
    std::fprintf(stderr, "no window or key\n");
    return 1;
  }
  const HWND target = thread.hwndFocus != nullptr ? thread.hwndFocus : window;
  const UINT scan = ::MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  ::PostMessageW(target, WM_KEYDOWN, key, 1 | (scan << 16));
  ::PostMessageW(target, WM_KEYUP, key, 1 | (scan << 16) | (3u << 30));
  std::printf("{\"focus\":%s}\n", JsonString(ClassName(target)).c_str());
  return 0;
}

// Replaces the text of a window's first visible child of a class (an edit), as typing it in
// one go would: the control notifies its parent of the change (EN_CHANGE).
int SetText(int argc, wchar_t** argv) {
  HWND window = nullptr;
  std::wstring class_name = L"Edit";
  std::wstring text;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::wstring option = argv[i];
    if (option == L"--window")
      window = reinterpret_cast<HWND>(_wcstoui64(argv[i + 1], nullptr, 10));
    if (option == L"--class") class_name = argv[i + 1];
    if (option == L"--text-hex") text = FromUtf8(HexToBytes(argv[i + 1]));
  }
  struct Search {
    std::wstring ClassName;
    HWND Found;
  } search{class_name, nullptr};
  if (window != nullptr) {
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM parameter) -> BOOL {
          auto* wanted = reinterpret_cast<Search*>(parameter);
          if (!::IsWindowVisible(child) ||
              _wcsicmp(ClassName(child).c_str(), wanted->ClassName.c_str()) != 0) {
            return TRUE;
          }
          wanted->Found = child;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
  }
  DWORD_PTR answer = 0;
  if (search.Found == nullptr ||
      !::SendMessageTimeoutW(search.Found, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_ABORTIFHUNG, 5000, &answer)) {
    std::fprintf(stderr, "no visible %ls to type into\n", class_name.c_str());
    return 1;
  }
  return 0;
}

// Tells every top-level window that a setting changed, as Windows does after the user changed
// it; the text names the area ("ImmersiveColorSet": the app mode).
int SettingChanged(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  DWORD_PTR answer = 0;
  ::SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(argv[2]),
                        SMTO_ABORTIFHUNG, 5000, &answer);
  return 0;
}

// A visible top-level window of one class that belongs to one process.
struct ProcessWindowQuery {
  DWORD ProcessId;
  std::wstring ClassName;
  HWND Found;
};

BOOL CALLBACK MatchProcessWindow(HWND window, LPARAM parameter) {
  auto* query = reinterpret_cast<ProcessWindowQuery*>(parameter);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != query->ProcessId || !::IsWindowVisible(window) ||
      ClassName(window) != query->ClassName) {
    return TRUE;
  }
  query->Found = window;
  return FALSE;
}

// Neither the window nor any of its visible controls waits for WM_PAINT any more.
bool NothingLeftToPaint(HWND window) {
  if (::GetUpdateRect(window, nullptr, FALSE)) return false;
  bool clean = true;
  ::EnumChildWindows(
      window,
      [](HWND child, LPARAM parameter) -> BOOL {
        if (!::IsWindowVisible(child) || !::GetUpdateRect(child, nullptr, FALSE)) return TRUE;
        *reinterpret_cast<bool*>(parameter) = false;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&clean));
  return clean;
}

// Waits, polling every 2 ms, until the process shows a window of that class and has painted
// it: the window's thread answering WM_NULL means it went back to its message loop (where
// WM_PAINT is dispatched once nothing else is queued), and an empty update region afterwards
// means that nothing is left to paint. Null when the process ends or the deadline passes.
HWND WaitForPaintedWindow(const PROCESS_INFORMATION& process, const std::wstring& class_name,
                          ULONGLONG deadline) {
  while (::GetTickCount64() < deadline) {
    ProcessWindowQuery query{process.dwProcessId, class_name, nullptr};
    ::EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&query));
    if (query.Found != nullptr) {
      const ULONGLONG now = ::GetTickCount64();
      DWORD_PTR answer = 0;
      if (::SendMessageTimeoutW(query.Found, WM_NULL, 0, 0, SMTO_NORMAL,
                                static_cast<UINT>(deadline > now ? deadline - now : 0), &answer) &&
          NothingLeftToPaint(query.Found)) {
        return query.Found;
      }
    }
    if (::WaitForSingleObject(process.hProcess, 2) == WAIT_OBJECT_0) return nullptr;
  }
  return nullptr;
}

// Milliseconds since a QueryPerformanceCounter reading.
double MillisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now;
  LARGE_INTEGER frequency;
  ::QueryPerformanceCounter(&now);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 /
         static_cast<double>(frequency.QuadPart);
}

// Times a program from its start to its first painted window of a class, for the start-up
// benchmark; a dialog that comes first (--through) is answered with OK as soon as it has
// painted, as an instant user would. The program is ended afterwards: it waits for a user.
int TimeToWindow(int argc, wchar_t** argv) {
  if (argc < 6) return 2;
  std::wstring class_name;
  std::wstring through_class;
  DWORD timeout = 60000;
  for (int i = 2; i + 1 < argc - 2; i += 2) {
    const std::wstring option = argv[i];
    if (option == L"--class") class_name = argv[i + 1];
    if (option == L"--through") through_class = argv[i + 1];
    if (option == L"--timeout") timeout = static_cast<DWORD>(_wtoi(argv[i + 1]));
  }
  const std::filesystem::path result_file = argv[argc - 2];
  std::ifstream command_file(std::filesystem::path(argv[argc - 1]), std::ios::binary);
  std::stringstream command_bytes;
  command_bytes << command_file.rdbuf();
  std::wstring command_line = FromUtf8(command_bytes.str());
  while (!command_line.empty() && (command_line.back() == L'\n' || command_line.back() == L'\r')) {
    command_line.pop_back();
  }
  if (class_name.empty() || command_line.empty()) return 2;

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  const ULONGLONG deadline = ::GetTickCount64() + timeout;
  LARGE_INTEGER start;
  ::QueryPerformanceCounter(&start);
  if (!::CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    std::ofstream(result_file) << "error=" << ::GetLastError() << "\n";
    return 1;
  }
  std::ostringstream result;
  result.setf(std::ios::fixed);
  result.precision(1);
  bool painted = true;
  if (!through_class.empty()) {
    const HWND dialog = WaitForPaintedWindow(process, through_class, deadline);
    painted = dialog != nullptr;
    if (painted) {
      result << "through_ms=" << MillisecondsSince(start) << "\n";
      // Posted, as Click does: the button's handler closes the dialog.
      ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    }
  }
  if (painted) painted = WaitForPaintedWindow(process, class_name, deadline) != nullptr;
  if (painted) result << "ms=" << MillisecondsSince(start) << "\n";
  DWORD exit_code = STILL_ACTIVE;
  ::GetExitCodeProcess(process.hProcess, &exit_code);
  if (!painted) {
    result << (exit_code == STILL_ACTIVE ? std::string("error=timeout")
                                         : "error=ended with " + std::to_string(exit_code))
           << "\n";
  }
  ::TerminateProcess(process.hProcess, 0);
  ::WaitForSingleObject(process.hProcess, 10000);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  std::ofstream(result_file) << result.str();
  return painted ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"launch") return Launch(argc, argv);
  if (command == L"find-window") return FindWindow(argc, argv);
  if (command == L"click") return Click(argc, argv);
  if (command == L"hold") return Hold(argc, argv);
  if (command == L"spawn-window") return SpawnWindow(argc, argv);
  if (command == L"write-files") return WriteFiles(argc, argv);
  if (command == L"delete-files") return DeleteFiles(argc, argv);
  if (command == L"close") return Close(argc, argv);
  if (command == L"key") return Key(argc, argv);
  if (command == L"set-text") return SetText(argc, argv);
  if (command == L"select") return Select(argc, argv);
  if (command == L"setting-changed") return SettingChanged(argc, argv);
  if (command == L"time-to-window") return TimeToWindow(argc, argv);
  std::fprintf(stderr,
               "usage: e2e-driver launch|find-window|click|hold|close|spawn-window|write-files|"
               "delete-files ...\n");
  return 2;
}

// What the demo programs share: their record of each run, and the pieces of their command lines.
#include "tools/demo/demo_log_win.h"

#include <cwchar>

#include "platform/handle_traits_win.h"

namespace demo {

namespace {

std::string ToUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
  return out;
}

std::wstring LogFolder(HMODULE module) {
  wchar_t folder[MAX_PATH];
  const DWORD length = ::GetEnvironmentVariableW(L"ZELO_DEMO_LOG_DIR", folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return FolderOf(ModuleFileName(module));
  std::wstring result(folder, length);
  ::CreateDirectoryW(result.c_str(), nullptr);
  if (result.back() != L'\\' && result.back() != L'/') result += L'\\';
  return result;
}

std::wstring BaseName(std::wstring_view path) {
  std::wstring_view name = path.substr(FolderOf(path).size());
  const size_t dot = name.rfind(L'.');
  return std::wstring(dot == std::wstring_view::npos ? name : name.substr(0, dot));
}

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t';
}

}  // namespace

std::wstring ModuleFileName(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring FolderOf(std::wstring_view path) {
  const size_t slash = path.find_last_of(L"\\/");
  return std::wstring(slash == std::wstring_view::npos ? std::wstring_view()
                                                       : path.substr(0, slash + 1));
}

void AppendLog(HMODULE module, std::wstring_view line) {
  const std::wstring module_path = ModuleFileName(module);
  const std::wstring log_path = LogFolder(module) + BaseName(module_path) + L".log";
  // Append-only access makes every write land at the end of the file, whoever else appends.
  platform::ScopedKernelHandle file(::CreateFileW(
      log_path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  const std::string bytes = ToUtf8(line) + "\r\n";
  DWORD written = 0;
  ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring ArgumentsOf(std::wstring_view command_line) {
  size_t end = 0;
  if (!command_line.empty() && command_line[0] == L'"') {
    const size_t quote = command_line.find(L'"', 1);
    end = quote == std::wstring_view::npos ? command_line.size() : quote + 1;
  } else {
    // No ".exe" at all: the name is the first word, as the system's own parsing has it.
    while (end < command_line.size() && !IsBlank(command_line[end])) ++end;
    for (size_t i = 0; i + 4 <= command_line.size(); ++i) {
      if (::_wcsnicmp(command_line.data() + i, L".exe", 4) == 0 &&
          (i + 4 == command_line.size() || IsBlank(command_line[i + 4]))) {
        end = i + 4;
        break;
      }
    }
  }
  while (end < command_line.size() && IsBlank(command_line[end])) ++end;
  return std::wstring(command_line.substr(end));
}

std::vector<std::wstring> SplitArguments(std::wstring_view arguments) {
  std::vector<std::wstring> words;
  std::wstring word;
  bool quoted = false, in_word = false;
  for (const wchar_t c : arguments) {
    if (c == L'"') {
      quoted = !quoted;
      in_word = true;
    } else if (IsBlank(c) && !quoted) {
      if (in_word) words.push_back(std::move(word));
      word.clear();
      in_word = false;
    } else {
      word += c;
      in_word = true;
    }
  }
  if (in_word) words.push_back(std::move(word));
  return words;
}

}  // namespace demo

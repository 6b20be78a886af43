// What a request for the next restart leaves in the registry, where Windows reads it when it
// starts: only Windows itself (here Wine) shows it, the host double records requests instead.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/file_system.h"
#include "platform/text.h"
#include "platform/windows_text.h"
#include "tests/support/temporary_folder.h"

namespace {

constexpr wchar_t SessionManager[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t PendingOperations[] = L"PendingFileRenameOperations";

// The raw list of pending operations (strings, each ended by a zero), or nothing.
std::vector<wchar_t> ReadPendingOperations(bool& exists) {
  DWORD size = 0;
  exists = ::RegGetValueW(HKEY_LOCAL_MACHINE, SessionManager, PendingOperations,
                          RRF_RT_REG_MULTI_SZ, nullptr, nullptr, &size) == ERROR_SUCCESS;
  std::vector<wchar_t> data(size / sizeof(wchar_t));
  if (exists && ::RegGetValueW(HKEY_LOCAL_MACHINE, SessionManager, PendingOperations,
                               RRF_RT_REG_MULTI_SZ, nullptr, data.data(), &size) != ERROR_SUCCESS) {
    data.clear();
  }
  data.resize(size / sizeof(wchar_t));
  return data;
}

// Puts the operations back as they were, so that a later start of the test prefix does not
// carry out what a test asked for.
class PendingOperationsRestorer {
 public:
  PendingOperationsRestorer() : before_(ReadPendingOperations(existed_)) {}
  ~PendingOperationsRestorer() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, SessionManager, 0, KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS) {
      return;
    }
    if (existed_) {
      ::RegSetValueExW(key, PendingOperations, 0, REG_MULTI_SZ,
                       reinterpret_cast<const BYTE*>(before_.data()),
                       static_cast<DWORD>(before_.size() * sizeof(wchar_t)));
    } else {
      ::RegDeleteValueW(key, PendingOperations);
    }
    ::RegCloseKey(key);
  }
  PendingOperationsRestorer(const PendingOperationsRestorer&) = delete;
  PendingOperationsRestorer& operator=(const PendingOperationsRestorer&) = delete;

 private:
  bool existed_ = false;
  std::vector<wchar_t> before_;
};

// The last strings of the list, the terminating zeros left out.
std::vector<String> LastOperations(size_t count) {
  bool exists = false;
  std::vector<wchar_t> data = ReadPendingOperations(exists);
  while (!data.empty() && data.back() == L'\0') data.pop_back();
  std::vector<String> strings(1);
  for (const wchar_t c : data) {
    if (c == L'\0') {
      strings.emplace_back();
    } else {
      strings.back().push_back(static_cast<char16_t>(c));
    }
  }
  if (strings.size() > count) strings.erase(strings.begin(), strings.end() - count);
  return strings;
}

String Upper(String text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
  });
  return text;
}

TEST(ScheduleReplaceAtRestart, WritesTheReplacementForTheNextStartAndChangesNothingNow) {
  const PendingOperationsRestorer restorer;
  TemporaryFolder folder;
  folder.WriteFile(u"ZELO.exe", "running program");
  folder.WriteFile(u"ZELO.new", "new program");

  ASSERT_TRUE(
      platform::ScheduleReplaceAtRestart(folder.PathOf(u"ZELO.new"), folder.PathOf(u"ZELO.exe")));

  // The source, then the target marked "!" for replacing what is there.
  std::vector<String> last = LastOperations(2);
  for (String& entry : last) entry = Upper(entry);
  EXPECT_EQ(last, (std::vector<String>{Upper(u"\\??\\" + folder.PathOf(u"ZELO.new")),
                                       Upper(u"!\\??\\" + folder.PathOf(u"ZELO.exe"))}));
  EXPECT_EQ(folder.ReadFile(u"ZELO.exe"), "running program");
  EXPECT_EQ(folder.ReadFile(u"ZELO.new"), "new program");
}

TEST(ScheduleReplaceAtRestart, FailsForAMissingSource) {
  const PendingOperationsRestorer restorer;
  TemporaryFolder folder;
  folder.WriteFile(u"ZELO.exe", "running program");
  // The system would take it and drop it at the restart, the old file staying unnoticed.
  EXPECT_FALSE(platform::ScheduleReplaceAtRestart(folder.PathOf(u"missing.new"),
                                                  folder.PathOf(u"ZELO.exe")));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(platform::ScheduleReplaceAtRestart(folder.Path(), folder.PathOf(u"ZELO.exe")))
      << "a folder is no replacement for a file";
}

}  // namespace

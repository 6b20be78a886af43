// Temporary folders in the real temporary folder of Windows.
#include <windows.h>

#include <atomic>
#include <stdexcept>
#include <string>

#include "platform/windows_text.h"
#include "tests/support/temporary_folder.h"

TemporaryFolder::TemporaryFolder() {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH + 1];
  ::GetTempPathW(MAX_PATH + 1, temp);
  // Wine gives every test program of a run the same few process ids, and a folder that a
  // crashed test left behind keeps its name: only a folder this call creates is a fresh one.
  std::wstring name;
  for (;;) {
    name = std::wstring(temp) + L"uinstaller-test-" + std::to_wstring(::GetCurrentProcessId()) +
           L"-" + std::to_wstring(counter++);
    if (::CreateDirectoryW(name.c_str(), nullptr)) break;
    if (::GetLastError() != ERROR_ALREADY_EXISTS) {
      throw std::runtime_error("cannot create a temporary folder");
    }
  }
  native_path_ = std::filesystem::path(name);
  path_ = FromWide(name.c_str()) + u"\\";
}

// Temporary folders in the real temporary folder of Windows.
#include <windows.h>

#include <atomic>
#include <string>

#include "platform/windows_text.h"
#include "tests/support/temporary_folder.h"

TemporaryFolder::TemporaryFolder() {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH + 1];
  ::GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring name = std::wstring(temp) + L"uinstaller-test-" +
                            std::to_wstring(::GetCurrentProcessId()) + L"-" +
                            std::to_wstring(counter++);
  native_path_ = std::filesystem::path(name);
  std::filesystem::create_directories(native_path_);
  path_ = FromWide(name.c_str()) + u"\\";
}

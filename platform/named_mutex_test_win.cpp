// The lock of a holder that was killed, on Windows itself: the next run must get it. The holder
// is this very test program started again to run only the disabled holder test below.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/named_mutex.h"
#include "platform/windows_text.h"
#include "tests/support/temporary_folder.h"

namespace {

using platform::NamedMutex;

constexpr wchar_t LockVariable[] = L"UINSTALLER_TEST_HELD_LOCK";
constexpr wchar_t ReadyVariable[] = L"UINSTALLER_TEST_HELD_LOCK_READY";

std::wstring Variable(const wchar_t* name) {
  wchar_t value[1024] = {};
  const DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
  return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

// Runs only when started by the test below: takes the lock, says so, and waits to be killed.
TEST(DISABLED_NamedMutexHolder, HoldsUntilKilled) {
  const std::wstring name = Variable(LockVariable);
  const std::wstring ready = Variable(ReadyVariable);
  if (name.empty() || ready.empty()) GTEST_SKIP() << "only as the holder of the test below";
  NamedMutex held;
  ASSERT_TRUE(NamedMutex::TryAcquire(FromWide(name.c_str()), held));
  const HANDLE file = ::CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ::CloseHandle(file);
  ::Sleep(60000);  // killed long before
}

TEST(NamedMutexWin, AKilledHolderLeavesTheLockFree) {
  const String name =
      u"uInstaller.Test.NamedMutex.Killed." + Utf8ToString(std::to_string(::GetCurrentProcessId()));
  TemporaryFolder folder;
  const String ready = folder.PathOf(u"ready");
  ASSERT_TRUE(::SetEnvironmentVariableW(LockVariable, ToWide(name)));
  ASSERT_TRUE(::SetEnvironmentVariableW(ReadyVariable, ToWide(ready)));

  wchar_t program[MAX_PATH] = {};
  ASSERT_GT(::GetModuleFileNameW(nullptr, program, MAX_PATH), 0u);
  std::wstring command_line = L"\"" + std::wstring(program) +
                              L"\" --gtest_filter=DISABLED_NamedMutexHolder.HoldsUntilKilled"
                              L" --gtest_also_run_disabled_tests";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(::CreateProcessW(program, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
  ::CloseHandle(process.hThread);
  ::SetEnvironmentVariableW(LockVariable, nullptr);
  ::SetEnvironmentVariableW(ReadyVariable, nullptr);

  // Until the holder says it has the lock, or has ended without.
  const ULONGLONG deadline = ::GetTickCount64() + 30000;
  while (::GetFileAttributesW(ToWide(ready)) == INVALID_FILE_ATTRIBUTES &&
         ::WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT &&
         ::GetTickCount64() < deadline) {
  }
  const bool holding = ::GetFileAttributesW(ToWide(ready)) != INVALID_FILE_ATTRIBUTES;
  NamedMutex mine;
  EXPECT_TRUE(holding) << "the holder did not take the lock";
  if (holding) {
    EXPECT_TRUE(NamedMutex::IsHeld(name));
    EXPECT_FALSE(NamedMutex::TryAcquire(name, mine)) << "another process holds it";
  }

  ::TerminateProcess(process.hProcess, 1);
  EXPECT_EQ(::WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
  ::CloseHandle(process.hProcess);
  EXPECT_FALSE(NamedMutex::IsHeld(name));
  EXPECT_TRUE(NamedMutex::TryAcquire(name, mine));
}

}  // namespace

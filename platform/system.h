// Facts about the system and the user: the Windows version, administrator rights, the user's
// interface language.
#pragma once

#include <cstdint>

namespace platform {

struct WindowsVersion {
  uint32_t Major;
  uint32_t Minor;
  uint32_t Build;
};

// The version the system really is, whatever the program's manifest declares (RtlGetVersion;
// GetVersionExW reports 6.2 to programs that do not declare Windows 10).
WindowsVersion GetWindowsVersion();

// Whether the process runs with administrator rights (IsUserAnAdmin).
bool IsUserAdministrator();

// The language identifier of the user's interface language (GetUserDefaultUILanguage).
uint16_t GetUserInterfaceLanguage();

// Whether the system is at least Windows Major.Minor (6.2 is Windows 8, 10.0 Windows 10).
bool IsWindowsVersionAtLeast(uint32_t major, uint32_t minor);

}  // namespace platform

// Facts about the system and the user from the Windows API.
#include <windows.h>
#include <shlobj.h>

#include "platform/system.h"

// ntdll's own version query; unlike GetVersionExW it is not shimmed by the manifest.
extern "C" NTSYSAPI LONG NTAPI RtlGetVersion(OSVERSIONINFOW* version_information);

namespace platform {

WindowsVersion GetWindowsVersion() {
  OSVERSIONINFOW information{};
  information.dwOSVersionInfoSize = sizeof(information);
  ::RtlGetVersion(&information);
  return {information.dwMajorVersion, information.dwMinorVersion, information.dwBuildNumber};
}

bool IsUserAdministrator() {
  return ::IsUserAnAdmin() != FALSE;
}

uint16_t GetUserInterfaceLanguage() {
  return ::GetUserDefaultUILanguage();
}

}  // namespace platform

// Special folders through the shell, and the temporary folder.
#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "platform/os_error.h"
#include "platform/shell_folders.h"
#include "platform/windows_text.h"

namespace platform {

namespace {

int FolderId(ShellFolder folder) {
  switch (folder) {
    case ShellFolder::CommonDesktop: return CSIDL_COMMON_DESKTOPDIRECTORY;
    case ShellFolder::CommonPrograms: return CSIDL_COMMON_PROGRAMS;
    case ShellFolder::ProgramFiles: return CSIDL_PROGRAM_FILES;
    case ShellFolder::Desktop: return CSIDL_DESKTOPDIRECTORY;
    case ShellFolder::StartMenu: return CSIDL_STARTMENU;
    case ShellFolder::Programs: return CSIDL_PROGRAMS;
    case ShellFolder::AppData: return CSIDL_APPDATA;
    case ShellFolder::LocalAppData: return CSIDL_LOCAL_APPDATA;
    case ShellFolder::Profile: return CSIDL_PROFILE;
    case ShellFolder::CommonStartMenu: return CSIDL_COMMON_STARTMENU;
    case ShellFolder::System: return CSIDL_SYSTEM;
  }
  return CSIDL_PROFILE;
}

}  // namespace

bool GetShellFolder(ShellFolder folder, String& path) {
  wchar_t buffer[MAX_PATH] = {};
  const HRESULT result =
      ::SHGetFolderPathW(nullptr, FolderId(folder), nullptr, SHGFP_TYPE_CURRENT, buffer);
  // S_FALSE means the folder id is known but the folder does not exist: no usable path.
  if (result != S_OK) {
    SetLastOSError(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result)
                                                              : ErrorPathNotFound);
    return false;
  }
  path = FromWide(buffer);
  return true;
}

bool GetTempFolder(String& path) {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD length = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return false;
    // A longer path reports the room it needs, its terminating zero included.
    if (length < buffer.size()) {
      path = FromWide(buffer.data(), length);
      return true;
    }
    buffer.resize(length + 1);
  }
}

}  // namespace platform

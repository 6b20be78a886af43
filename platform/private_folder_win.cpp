// Private folders through the Windows API: the folder is created with an access list of its own
// instead of inheriting the temporary folder's, which lets the user's every process in.
#include <windows.h>
#include <sddl.h>

#include "platform/change_observer.h"
#include "platform/handle_traits_win.h"
#include "platform/private_folder.h"
#include "platform/system_path_win.h"
#include "platform/windows_text.h"

namespace platform {

namespace {

// Protected (nothing inherited from the temporary folder), and passed on to every file and
// folder inside: full access for the system, the administrators and the owner (OWNER RIGHTS).
// An elevated administrator's objects belong to the administrators' group; a process of the
// same user without elevation is none of the three.
constexpr wchar_t PrivateAccess[] = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;OW)";

}  // namespace

bool CreatePrivateFolder(StringView path) {
  ScopedLocalMemory descriptor;
  PSECURITY_DESCRIPTOR converted = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(PrivateAccess, SDDL_REVISION_1,
                                                              &converted, nullptr)) {
    return false;
  }
  descriptor.Reset(converted);
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), converted, FALSE};
  // CreateDirectoryW never opens an existing folder: whatever has the name fails the call.
  return Reported(::CreateDirectoryW(ToWide(ToSystemPath(path)), &attributes) != FALSE,
                  Change::FolderCreated, path);
}

}  // namespace platform

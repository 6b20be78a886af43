// Shell links through the shell's link object (IShellLinkW saved by its IPersistFile).
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <iterator>

#include "platform/change_observer.h"
#include "platform/com_pointer_win.h"
#include "platform/os_error.h"
#include "platform/shell_link.h"
#include "platform/windows_text.h"

namespace platform {

namespace {

// COM reports HRESULTs; a Win32 error inside one is handed on as that error, anything else as
// the HRESULT itself, which the system's message table also knows.
bool Failed(HRESULT result) {
  SetLastOSError(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result)
                                                            : static_cast<uint32_t>(result));
  return false;
}

HRESULT CreateLink(ComPointer<IShellLinkW>& link, ComPointer<IPersistFile>& file) {
  HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkW, link.Receive());
  if (SUCCEEDED(result)) result = link->QueryInterface(IID_IPersistFile, file.Receive());
  return result;
}

}  // namespace

bool WriteShellLink(StringView link_path, StringView target) {
  ComPointer<IShellLinkW> link;
  ComPointer<IPersistFile> file;
  HRESULT result = CreateLink(link, file);
  if (SUCCEEDED(result)) result = link->SetPath(ToWide(String(target)));
  // TRUE: the saved file becomes the object's current file, as for a "Save" rather than a copy.
  if (SUCCEEDED(result)) result = file->Save(ToWide(String(link_path)), TRUE);
  if (FAILED(result)) return Failed(result);
  ReportChange(Change::FileWritten, link_path, target);
  return true;
}

bool ReadShellLinkTarget(StringView link_path, String& target) {
  ComPointer<IShellLinkW> link;
  ComPointer<IPersistFile> file;
  HRESULT result = CreateLink(link, file);
  if (SUCCEEDED(result)) result = file->Load(ToWide(String(link_path)), STGM_READ);
  if (FAILED(result)) return Failed(result);
  // The path as stored: no search for a moved target, no expansion of variables.
  wchar_t buffer[MAX_PATH * 4] = {};
  result = link->GetPath(buffer, static_cast<int>(std::size(buffer)), nullptr, SLGP_RAWPATH);
  // S_FALSE: a link without a file system path (to a virtual folder, say).
  if (FAILED(result)) return Failed(result);
  target = FromWide(buffer);
  return true;
}

}  // namespace platform

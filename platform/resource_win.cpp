// RCDATA resources through the Windows resource API.
#include <windows.h>

#include "platform/resource.h"
#include "platform/windows_text.h"

namespace platform {

bool FindDataResource(NativeModule module, StringView name, const void*& data, size_t& size) {
  const String resource_name(name);
  const auto instance = static_cast<HMODULE>(module);
  const HRSRC resource = ::FindResourceW(instance, ToWide(resource_name), RT_RCDATA);
  if (resource == nullptr) return false;
  // Resources of a loaded module are mapped with it; LoadResource and LockResource only hand
  // out the address, and nothing needs releasing.
  const HGLOBAL loaded = ::LoadResource(instance, resource);
  if (loaded == nullptr) return false;
  data = ::LockResource(loaded);
  size = ::SizeofResource(instance, resource);
  return data != nullptr;
}

bool ProgramHasIcon(StringView path) {
  // Mapped as an image of resources only: nothing of the program runs, and no library it
  // depends on is looked for.
  const HMODULE module = ::LoadLibraryExW(
      ToWide(String(path)), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return false;
  bool found = false;
  ::EnumResourceNamesW(
      module, RT_GROUP_ICON,
      [](HMODULE, LPCWSTR, LPWSTR, LONG_PTR found_flag) -> BOOL {
        *reinterpret_cast<bool*>(found_flag) = true;
        return FALSE;  // the first one is enough
      },
      reinterpret_cast<LONG_PTR>(&found));
  ::FreeLibrary(module);
  return found;
}

}  // namespace platform

// Libraries through the Windows loader.
#include <windows.h>

#include <string>

#include "platform/handle_traits_win.h"
#include "platform/library.h"
#include "platform/system_path_win.h"
#include "platform/windows_text.h"

namespace platform {

unsigned SetSystemErrorMode(unsigned mode) {
  return ::SetErrorMode(mode);
}

Library Library::Load(StringView path) {
  // The program's start-up limits the search for libraries to System32; these flags add the
  // folder of the library being loaded, and take an absolute path only.
  const HMODULE module =
      ::LoadLibraryExW(ToWide(ToSystemPath(path)), nullptr,
                       LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  return Library(module);
}

bool Library::CallExport(std::string_view name) {
  const FARPROC function =
      ::GetProcAddress(static_cast<HMODULE>(module_), std::string(name).c_str());
  if (function == nullptr) return false;
  // The exports called this way (DllUnregisterServer) take nothing; their result is not used.
  reinterpret_cast<void (*)()>(function)();
  return true;
}

void Library::Unload() {
  ScopedModule unloading(static_cast<HMODULE>(std::exchange(module_, nullptr)));
}

}  // namespace platform

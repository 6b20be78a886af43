// Shell component libraries.
#include "core/installer_active_x.h"

#include "platform/library.h"

void TInstallerActiveX::CallExport(StringView library_path, StringView export_name) {
  // Export names are ASCII, which UTF-8 leaves as it is.
  platform::CallLibraryExport(library_path, StringToUtf8(export_name));
}

void TInstallerActiveX::Unregister(StringView library_path) {
  CallExport(library_path, u"DllUnregisterServer");
}

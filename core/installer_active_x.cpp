// Shell component libraries.
#include "core/installer_active_x.h"

#include "platform/library.h"

void TInstallerActiveX::CallExport(StringView library_path, StringView export_name) {
  // Export names are ASCII, which UTF-8 leaves as it is.
  // A library that cannot be loaded or lacks the export is passed over: the file is removed
  // next either way, and a stale shell registration is harmless once its library is gone.
  static_cast<void>(platform::CallLibraryExport(library_path, StringToUtf8(export_name)));
}

void TInstallerActiveX::Unregister(StringView library_path) {
  CallExport(library_path, u"DllUnregisterServer");
}

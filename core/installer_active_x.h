// Shell component libraries (the player's context-menu handlers): unregistering one before its
// file is deleted.
#pragma once

#include "platform/text.h"

class TInstallerActiveX {
 public:
  // Loads the library, calls its parameterless export ExportName and unloads it. A library
  // that cannot be loaded, or lacks the export, is passed over without a word.
  static void CallExport(StringView library_path, StringView export_name);

  // CallExport with "DllUnregisterServer".
  static void Unregister(StringView library_path);
};

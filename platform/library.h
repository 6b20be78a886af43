// Loading a library file to call one of its exported functions.
#pragma once

#include <string_view>
#include <utility>

#include "platform/resource.h"
#include "platform/text.h"

namespace platform {

// SetErrorMode's flag that stops the system from asking the user about a missing disk or an
// unreadable file while a library loads; the failure is returned to the caller instead.
inline constexpr unsigned ErrorModeFailCriticalErrors = 0x0001;

// Sets the process's error mode and returns the previous one (SetErrorMode).
unsigned SetSystemErrorMode(unsigned mode);

// A move-only owner of a loaded library. Operations return false and set the last platform
// error on failure.
class Library {
 public:
  Library() = default;
  Library(Library&& other) noexcept : module_(std::exchange(other.module_, nullptr)) {}
  Library& operator=(Library&& other) noexcept {
    if (this != &other) {
      Unload();
      module_ = std::exchange(other.module_, nullptr);
    }
    return *this;
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  ~Library() { Unload(); }

  // Loads a library by its full path. The libraries it depends on are looked for in its own
  // folder and the system's folders only: the program's start-up narrows the search path, and
  // plain LoadLibraryW would then miss the ones beside it.
  [[nodiscard]] static Library Load(StringView path);

  [[nodiscard]] bool IsLoaded() const { return module_ != nullptr; }

  // Calls an export that takes no arguments; whatever it returns is ignored.
  [[nodiscard]] bool CallExport(std::string_view name);

  // Unloading keeps the last platform error.
  void Unload();

 private:
  explicit Library(NativeModule module) : module_(module) {}

  NativeModule module_ = nullptr;
};

// Loads the library at LibraryPath, calls its parameterless export ExportName and unloads it.
// While it loads, critical-error boxes are suppressed and the library's folder is the current
// directory; both are restored, the directory first, before anything else happens, also when
// the load fails. True when the export was called; false, with the platform's error, when the
// library could not be loaded or lacks the export.
[[nodiscard]] bool CallLibraryExport(StringView library_path, std::string_view export_name);

}  // namespace platform

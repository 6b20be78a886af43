// Libraries of the host double: fake libraries that tests register by path, with exports that
// are plain functions, and a record of what was loaded, called and unloaded, with the current
// directory and the error mode at that moment.
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/file_system.h"
#include "platform/host_double.h"
#include "platform/library.h"
#include "platform/locale.h"
#include "platform/os_error.h"

namespace platform {

namespace {

struct FakeLibrary {
  String Path;
  std::map<std::string, std::function<void()>> Exports;
};

std::mutex libraries_mutex;
std::vector<std::shared_ptr<FakeLibrary>> fake_libraries;
std::vector<HostDouble::LibraryEvent> library_events;
unsigned error_mode = 0;

bool SamePath(StringView a, StringView b) {
  return a.size() == b.size() && CompareTextIgnoringCase(a, b) == 0;
}

bool IsAbsolute(StringView path) {
  return (path.size() >= 3 && path[1] == u':' && (path[2] == u'\\' || path[2] == u'/')) ||
         path.starts_with(u"\\\\");
}

FakeLibrary* AsLibrary(NativeModule module) {
  return static_cast<FakeLibrary*>(module);
}

// Called with the lock held.
void Record(HostDouble::LibraryEventKind kind, const FakeLibrary& library,
            std::string_view export_name) {
  String folder;
  // An unknown folder is recorded as empty, which a test expecting a folder then reports.
  static_cast<void>(GetCurrentFolder(folder));
  library_events.push_back({kind, library.Path, std::string(export_name), folder, error_mode});
}

}  // namespace

unsigned SetSystemErrorMode(unsigned mode) {
  std::lock_guard lock(libraries_mutex);
  return std::exchange(error_mode, mode);
}

Library Library::Load(StringView path) {
  // The search flags the program uses accept absolute paths only.
  if (!IsAbsolute(path)) {
    SetLastOSError(ErrorInvalidParameter);
    return Library();
  }
  std::lock_guard lock(libraries_mutex);
  for (const auto& library : fake_libraries) {
    if (SamePath(library->Path, path)) {
      Record(HostDouble::LibraryEventKind::Load, *library, {});
      return Library(library.get());
    }
  }
  SetLastOSError(ErrorModNotFound);
  return Library();
}

bool Library::CallExport(std::string_view name) {
  std::function<void()> function;
  {
    std::lock_guard lock(libraries_mutex);
    const FakeLibrary* library = AsLibrary(module_);
    if (library == nullptr) {
      SetLastOSError(ErrorInvalidHandle);
      return false;
    }
    const auto entry = library->Exports.find(std::string(name));
    if (entry == library->Exports.end()) {
      SetLastOSError(ErrorProcNotFound);
      return false;
    }
    Record(HostDouble::LibraryEventKind::Call, *library, name);
    function = entry->second;
  }
  // Outside the lock: the export may use the platform itself.
  if (function) function();
  return true;
}

void Library::Unload() {
  FakeLibrary* library = AsLibrary(std::exchange(module_, nullptr));
  if (library == nullptr) return;
  const uint32_t saved_error = GetLastOSError();
  {
    std::lock_guard lock(libraries_mutex);
    Record(HostDouble::LibraryEventKind::Unload, *library, {});
  }
  SetLastOSError(saved_error);
}

void HostDouble::AddLibrary(StringView path, std::map<std::string, std::function<void()>> exports) {
  std::lock_guard lock(libraries_mutex);
  fake_libraries.push_back(
      std::make_shared<FakeLibrary>(FakeLibrary{String(path), std::move(exports)}));
}

void HostDouble::RemoveLibraries() {
  std::lock_guard lock(libraries_mutex);
  fake_libraries.clear();
  library_events.clear();
}

std::vector<HostDouble::LibraryEvent> HostDouble::TakeLibraryEvents() {
  std::lock_guard lock(libraries_mutex);
  return std::exchange(library_events, {});
}

}  // namespace platform

// Resources in the host double: byte blocks that a test registers under a name for a module.
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/host_double.h"
#include "platform/locale.h"
#include "platform/os_error.h"
#include "platform/resource.h"

namespace platform {

namespace {

constexpr uint32_t ErrorResourceNameNotFound = 1814;

struct ResourceKey {
  NativeModule Module;
  String Name;
};

std::mutex resources_mutex;
// Kept in a list, not a map: the bytes must not move once handed out.
std::vector<std::pair<ResourceKey, std::unique_ptr<std::vector<uint8_t>>>> resources;

}  // namespace

bool ProgramHasIcon(StringView) {
  return false;
}

void HostDouble::SetDataResource(NativeModule module, StringView name, std::vector<uint8_t> bytes) {
  std::lock_guard lock(resources_mutex);
  for (auto& [key, data] : resources) {
    if (key.Module == module && key.Name.size() == name.size() &&
        CompareTextIgnoringCase(key.Name, name) == 0) {
      data = std::make_unique<std::vector<uint8_t>>(std::move(bytes));
      return;
    }
  }
  resources.emplace_back(ResourceKey{module, String(name)},
                         std::make_unique<std::vector<uint8_t>>(std::move(bytes)));
}

void HostDouble::RemoveDataResources() {
  std::lock_guard lock(resources_mutex);
  resources.clear();
}

bool FindDataResource(NativeModule module, StringView name, const void*& data, size_t& size) {
  std::lock_guard lock(resources_mutex);
  for (const auto& [key, bytes] : resources) {
    // Resource names ignore case on Windows as well.
    if (key.Module == module && key.Name.size() == name.size() &&
        CompareTextIgnoringCase(key.Name, name) == 0) {
      data = bytes->data();
      size = bytes->size();
      return true;
    }
  }
  SetLastOSError(ErrorResourceNameNotFound);
  return false;
}

}  // namespace platform

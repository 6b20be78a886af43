// The registry of the host double: an in-memory tree of keys with Windows' naming, ordering and
// error rules.
#include <algorithm>
#include <memory>
#include <mutex>

#include "platform/change_observer.h"
#include "platform/host_double.h"
#include "platform/locale.h"
#include "platform/os_error.h"
#include "platform/registry.h"

namespace platform {

namespace {

struct KeyNode {
  String Name;
  // Sorted by name ignoring case, which is the order in which the registry enumerates them.
  std::vector<std::shared_ptr<KeyNode>> Subkeys;
  // In the order they were first written: Windows keeps values that way.
  std::vector<HostDouble::RegistryValueRecord> Values;
  bool Deleted = false;
};

struct OpenKey {
  std::shared_ptr<KeyNode> Node;
  bool Writable;
};

// The security identifier the double gives the current user, as Wine does.
constexpr char16_t CurrentUserSid[] = u"S-1-5-21-0-0-0-1000";

struct Hives {
  std::shared_ptr<KeyNode> LocalMachine = std::make_shared<KeyNode>();
  std::shared_ptr<KeyNode> Users = std::make_shared<KeyNode>();
  // Views into the two hives above, as on Windows: the current user's key is the user's hive
  // under HKEY_USERS, and the classes root shows the machine's classes.
  std::shared_ptr<KeyNode> CurrentUser;
  std::shared_ptr<KeyNode> ClassesRoot;
};

std::mutex registry_mutex;

bool SameKeyName(StringView a, StringView b) {
  return a.size() == b.size() && CompareTextIgnoringCase(a, b) == 0;
}

std::shared_ptr<KeyNode> FindSubkey(const KeyNode& node, StringView name) {
  for (const auto& subkey : node.Subkeys) {
    if (SameKeyName(subkey->Name, name)) return subkey;
  }
  return nullptr;
}

std::shared_ptr<KeyNode> AddSubkey(KeyNode& node, StringView name) {
  auto subkey = std::make_shared<KeyNode>();
  subkey->Name = String(name);
  const auto position = std::find_if(
      node.Subkeys.begin(), node.Subkeys.end(),
      [&](const auto& existing) { return CompareTextIgnoringCase(existing->Name, name) > 0; });
  node.Subkeys.insert(position, subkey);
  return subkey;
}

std::shared_ptr<KeyNode> FindOrAddSubkey(KeyNode& node, StringView name) {
  auto subkey = FindSubkey(node, name);
  return subkey ? subkey : AddSubkey(node, name);
}

Hives MakeHives() {
  Hives hives;
  hives.CurrentUser = AddSubkey(*hives.Users, CurrentUserSid);
  hives.ClassesRoot =
      FindOrAddSubkey(*FindOrAddSubkey(*hives.LocalMachine, u"Software"), u"Classes");
  return hives;
}

Hives& TheHives() {
  static Hives hives = MakeHives();
  return hives;
}

std::shared_ptr<KeyNode> RootNode(RegistryRoot root) {
  Hives& hives = TheHives();
  switch (root) {
    case RegistryRoot::ClassesRoot: return hives.ClassesRoot;
    case RegistryRoot::CurrentUser: return hives.CurrentUser;
    case RegistryRoot::LocalMachine: return hives.LocalMachine;
    case RegistryRoot::Users: return hives.Users;
  }
  return hives.LocalMachine;
}

// The names along a path. Like Windows, a leading backslash is refused, and empty names
// between or after backslashes are passed over.
bool SplitPath(StringView path, std::vector<StringView>& names) {
  if (path.starts_with(u'\\')) {
    SetLastOSError(ErrorBadPathName);
    return false;
  }
  while (!path.empty()) {
    const size_t backslash = path.find(u'\\');
    const StringView name = path.substr(0, backslash);
    if (!name.empty()) names.push_back(name);
    if (backslash == StringView::npos) break;
    path.remove_prefix(backslash + 1);
  }
  return true;
}

std::shared_ptr<KeyNode> FindKey(RegistryRoot root, StringView path) {
  std::vector<StringView> names;
  if (!SplitPath(path, names)) return nullptr;
  std::shared_ptr<KeyNode> node = RootNode(root);
  for (const StringView name : names) {
    node = FindSubkey(*node, name);
    if (!node) {
      SetLastOSError(ErrorFileNotFound);
      return nullptr;
    }
  }
  return node;
}

OpenKey* AsOpenKey(void* handle) {
  return static_cast<OpenKey*>(handle);
}

// The node behind a handle, or null with Windows' error for a key deleted while open.
KeyNode* LiveNode(void* handle) {
  OpenKey* key = AsOpenKey(handle);
  if (key == nullptr) {
    SetLastOSError(ErrorInvalidHandle);
    return nullptr;
  }
  if (key->Node->Deleted) {
    SetLastOSError(ErrorKeyDeleted);
    return nullptr;
  }
  return key->Node.get();
}

KeyNode* WritableNode(void* handle) {
  KeyNode* node = LiveNode(handle);
  if (node != nullptr && !AsOpenKey(handle)->Writable) {
    SetLastOSError(ErrorAccessDenied);
    return nullptr;
  }
  return node;
}

auto FindValue(KeyNode& node, StringView name) {
  return std::find_if(node.Values.begin(), node.Values.end(),
                      [&](const auto& value) { return SameKeyName(value.Name, name); });
}

}  // namespace

RegistryKey RegistryKey::Open(RegistryRoot root, StringView path, RegistryAccess access) {
  std::lock_guard lock(registry_mutex);
  std::shared_ptr<KeyNode> node = FindKey(root, path);
  if (!node) return RegistryKey();
  return RegistryKey(new OpenKey{std::move(node), access == RegistryAccess::ReadWrite}, root, path);
}

RegistryKey RegistryKey::Create(RegistryRoot root, StringView path) {
  std::lock_guard lock(registry_mutex);
  std::vector<StringView> names;
  if (!SplitPath(path, names)) return RegistryKey();
  std::shared_ptr<KeyNode> node = RootNode(root);
  for (const StringView name : names) node = FindOrAddSubkey(*node, name);
  return RegistryKey(new OpenKey{std::move(node), true}, root, path);
}

namespace {

// Handles still open on a deleted key, or on a key below it, report the key deleted.
void MarkDeleted(KeyNode& node) {
  node.Deleted = true;
  for (const auto& subkey : node.Subkeys) MarkDeleted(*subkey);
}

// The key a path names and the key holding it; Node is null when the path leads nowhere.
struct KeyAndParent {
  std::shared_ptr<KeyNode> Parent;
  std::shared_ptr<KeyNode> Node;
};

// Looks up a key to delete. An empty path would name the hive itself, which no deletion may
// take (it would empty the whole hive): refused, as is a malformed path.
bool FindKeyToDelete(RegistryRoot root, StringView path, KeyAndParent& found) {
  std::vector<StringView> names;
  if (!SplitPath(path, names)) return false;
  if (names.empty()) {
    SetLastOSError(ErrorAccessDenied);
    return false;
  }
  const StringView last = names.back();
  names.pop_back();
  std::shared_ptr<KeyNode> parent = RootNode(root);
  for (const StringView name : names) {
    parent = FindSubkey(*parent, name);
    if (!parent) return true;
  }
  found.Node = FindSubkey(*parent, last);
  found.Parent = std::move(parent);
  return true;
}

}  // namespace

bool RegistryKey::DeleteTree(RegistryRoot root, StringView path) {
  std::lock_guard lock(registry_mutex);
  KeyAndParent found;
  if (!FindKeyToDelete(root, path, found)) return false;
  if (!found.Node) return true;
  MarkDeleted(*found.Node);
  std::erase(found.Parent->Subkeys, found.Node);
  return Reported(true, Change::RegistryKeyDeleted, FullName(root, path));
}

bool RegistryKey::Delete(RegistryRoot root, StringView path) {
  std::lock_guard lock(registry_mutex);
  KeyAndParent found;
  if (!FindKeyToDelete(root, path, found)) return false;
  if (!found.Node) {
    SetLastOSError(ErrorFileNotFound);
    return false;
  }
  if (!found.Node->Subkeys.empty()) {
    SetLastOSError(ErrorAccessDenied);
    return false;
  }
  found.Node->Deleted = true;
  std::erase(found.Parent->Subkeys, found.Node);
  return Reported(true, Change::RegistryKeyDeleted, FullName(root, path));
}

void RegistryKey::Close() {
  delete AsOpenKey(std::exchange(handle_, nullptr));
}

bool RegistryKey::ReadValue(StringView name, RegistryValue& value) const {
  std::lock_guard lock(registry_mutex);
  KeyNode* node = LiveNode(handle_);
  if (node == nullptr) return false;
  const auto found = FindValue(*node, name);
  if (found == node->Values.end()) {
    SetLastOSError(ErrorFileNotFound);
    return false;
  }
  value = found->Value;
  return true;
}

bool RegistryKey::WriteValue(StringView name, uint32_t type, const void* data, size_t size) {
  std::lock_guard lock(registry_mutex);
  KeyNode* node = WritableNode(handle_);
  if (node == nullptr) return false;
  const auto* bytes = static_cast<const uint8_t*>(data);
  RegistryValue value{type, std::vector<uint8_t>(bytes, bytes + size)};
  const auto found = FindValue(*node, name);
  if (found != node->Values.end()) {
    found->Value = std::move(value);
  } else {
    node->Values.push_back({String(name), std::move(value)});
  }
  return true;
}

bool RegistryKey::DeleteValue(StringView name) {
  std::lock_guard lock(registry_mutex);
  KeyNode* node = WritableNode(handle_);
  if (node == nullptr) return false;
  const auto found = FindValue(*node, name);
  if (found == node->Values.end()) {
    SetLastOSError(ErrorFileNotFound);
    return false;
  }
  node->Values.erase(found);
  return Reported(true, Change::RegistryValueDeleted, name_, name);
}

bool RegistryKey::GetSubkeyCount(uint32_t& count) const {
  std::lock_guard lock(registry_mutex);
  const KeyNode* node = LiveNode(handle_);
  if (node == nullptr) return false;
  count = static_cast<uint32_t>(node->Subkeys.size());
  return true;
}

bool RegistryKey::GetSubkeyName(uint32_t index, size_t buffer_length, String& name) const {
  std::lock_guard lock(registry_mutex);
  const KeyNode* node = LiveNode(handle_);
  if (node == nullptr) return false;
  if (index >= node->Subkeys.size()) {
    SetLastOSError(ErrorNoMoreItems);
    return false;
  }
  const String& subkey_name = node->Subkeys[index]->Name;
  if (subkey_name.size() + 1 > buffer_length) {
    SetLastOSError(ErrorMoreData);
    return false;
  }
  name = subkey_name;
  return true;
}

void HostDouble::ResetRegistry() {
  std::lock_guard lock(registry_mutex);
  TheHives() = MakeHives();
}

std::vector<HostDouble::RegistryValueRecord> HostDouble::RegistryValues(RegistryRoot root,
                                                                        StringView path) {
  std::lock_guard lock(registry_mutex);
  const std::shared_ptr<KeyNode> node = FindKey(root, path);
  return node ? node->Values : std::vector<RegistryValueRecord>();
}

}  // namespace platform

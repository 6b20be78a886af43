// Registry keys through the Windows API.
#include <windows.h>

#include <vector>

#include "platform/change_observer.h"
#include "platform/handle_traits_win.h"
#include "platform/os_error.h"
#include "platform/registry.h"
#include "platform/windows_text.h"

namespace platform {

namespace {

// A 64-bit program sees the native view anyway; asking for it keeps a 32-bit build of the same
// code from being redirected into Wow6432Node, where the system does not look for our keys.
constexpr REGSAM NativeView = KEY_WOW64_64KEY;

HKEY RootKey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegistryRoot::Users: return HKEY_USERS;
  }
  return HKEY_LOCAL_MACHINE;
}

HKEY AsKey(void* handle) {
  return static_cast<HKEY>(handle);
}

// The registry functions return their error rather than setting the thread's last error.
bool Succeeded(LSTATUS status) {
  if (status == ERROR_SUCCESS) return true;
  ::SetLastError(static_cast<DWORD>(status));
  return false;
}

}  // namespace

RegistryKey RegistryKey::Open(RegistryRoot root, StringView path, RegistryAccess access) {
  const REGSAM rights = (access == RegistryAccess::Read ? KEY_READ : KEY_READ | KEY_WRITE);
  HKEY key = nullptr;
  if (!Succeeded(
          ::RegOpenKeyExW(RootKey(root), ToWide(String(path)), 0, rights | NativeView, &key))) {
    return RegistryKey();
  }
  return RegistryKey(key, root, path);
}

RegistryKey RegistryKey::Create(RegistryRoot root, StringView path) {
  HKEY key = nullptr;
  if (!Succeeded(::RegCreateKeyExW(RootKey(root), ToWide(String(path)), 0, nullptr,
                                   REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | NativeView, nullptr,
                                   &key, nullptr))) {
    return RegistryKey();
  }
  return RegistryKey(key, root, path);
}

bool RegistryKey::DeleteTree(RegistryRoot root, StringView path) {
  // An empty path would name the root itself and empty the whole hive.
  if (path.find_first_not_of(u'\\') == StringView::npos) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  const String name(path);
  ScopedRegistryKey key;
  const LSTATUS opened =
      ::RegOpenKeyExW(RootKey(root), ToWide(name), 0, KEY_ALL_ACCESS | NativeView, key.Receive());
  if (opened == ERROR_FILE_NOT_FOUND) return true;
  if (!Succeeded(opened)) return false;
  // RegDeleteTreeW with a key and no subkey name empties the key but leaves it in place.
  if (!Succeeded(::RegDeleteTreeW(key.Get(), nullptr))) return false;
  key.Reset();
  const LSTATUS deleted = ::RegDeleteKeyExW(RootKey(root), ToWide(name), NativeView, 0);
  return deleted == ERROR_FILE_NOT_FOUND ||
         Reported(Succeeded(deleted), Change::RegistryKeyDeleted, FullName(root, path));
}

bool RegistryKey::Delete(RegistryRoot root, StringView path) {
  return Reported(Succeeded(::RegDeleteKeyExW(RootKey(root), ToWide(String(path)), NativeView, 0)),
                  Change::RegistryKeyDeleted, FullName(root, path));
}

void RegistryKey::Close() {
  ScopedRegistryKey closing(AsKey(std::exchange(handle_, nullptr)));
}

bool RegistryKey::ReadValue(StringView name, RegistryValue& value) const {
  const String value_name(name);
  DWORD type = 0;
  DWORD size = 0;
  if (!Succeeded(
          ::RegQueryValueExW(AsKey(handle_), ToWide(value_name), nullptr, &type, nullptr, &size))) {
    return false;
  }
  // Another writer may grow the value between the two calls; ask again until it fits.
  for (;;) {
    value.Data.resize(size);
    const LSTATUS status = ::RegQueryValueExW(AsKey(handle_), ToWide(value_name), nullptr, &type,
                                              value.Data.data(), &size);
    if (status == ERROR_MORE_DATA) continue;
    if (!Succeeded(status)) return false;
    value.Data.resize(size);
    value.Type = type;
    return true;
  }
}

bool RegistryKey::WriteValue(StringView name, uint32_t type, const void* data, size_t size) {
  return Succeeded(::RegSetValueExW(AsKey(handle_), ToWide(String(name)), 0, type,
                                    static_cast<const BYTE*>(data), static_cast<DWORD>(size)));
}

bool RegistryKey::DeleteValue(StringView name) {
  return Reported(Succeeded(::RegDeleteValueW(AsKey(handle_), ToWide(String(name)))),
                  Change::RegistryValueDeleted, name_, name);
}

bool RegistryKey::GetSubkeyCount(uint32_t& count) const {
  DWORD subkeys = 0;
  if (!Succeeded(::RegQueryInfoKeyW(AsKey(handle_), nullptr, nullptr, nullptr, &subkeys, nullptr,
                                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr))) {
    return false;
  }
  count = subkeys;
  return true;
}

bool RegistryKey::GetSubkeyName(uint32_t index, size_t buffer_length, String& name) const {
  const DWORD room = buffer_length > 0xFFFF ? 0xFFFF : static_cast<DWORD>(buffer_length);
  std::vector<wchar_t> buffer(room + 1);
  DWORD length = room;
  if (!Succeeded(::RegEnumKeyExW(AsKey(handle_), index, buffer.data(), &length, nullptr, nullptr,
                                 nullptr, nullptr))) {
    return false;
  }
  name = FromWide(buffer.data(), length);
  return true;
}

}  // namespace platform

// The registry work of the demo's registration tool and shell-menu library: keys and values
// under HKEY_CURRENT_USER, each call a whole small step that returns its system error code.
#include "tools/demo/user_registry_win.h"

namespace demo {

namespace {

LONG CreateUserKey(const std::wstring& key, ScopedRegistryKey& opened) {
  return ::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, opened.Receive(), nullptr);
}

LONG OpenUserKey(const std::wstring& key, REGSAM access, ScopedRegistryKey& opened) {
  return ::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, access | KEY_WOW64_64KEY,
                         opened.Receive());
}

LONG MissingIsSuccess(LONG result) {
  return result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND ? ERROR_SUCCESS : result;
}

}  // namespace

LONG WriteUserString(const std::wstring& key, const std::wstring& name, const std::wstring& text) {
  ScopedRegistryKey opened;
  if (const LONG result = CreateUserKey(key, opened); result != ERROR_SUCCESS) return result;
  return ::RegSetValueExW(opened.Get(), name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

LONG WriteUserMarker(const std::wstring& key, const std::wstring& name) {
  ScopedRegistryKey opened;
  if (const LONG result = CreateUserKey(key, opened); result != ERROR_SUCCESS) return result;
  return ::RegSetValueExW(opened.Get(), name.c_str(), 0, REG_NONE, nullptr, 0);
}

bool ReadUserString(const std::wstring& key, const std::wstring& name, std::wstring& text) {
  ScopedRegistryKey opened;
  if (OpenUserKey(key, KEY_QUERY_VALUE, opened) != ERROR_SUCCESS) return false;
  DWORD type = 0, size = 0;
  if (::RegQueryValueExW(opened.Get(), name.c_str(), nullptr, &type, nullptr, &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return false;
  }
  std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
  if (::RegQueryValueExW(opened.Get(), name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS) {
    return false;
  }
  // The stored size may or may not count a terminating zero.
  buffer.resize(size / sizeof(wchar_t));
  while (!buffer.empty() && buffer.back() == L'\0') buffer.pop_back();
  text = buffer;
  return true;
}

LONG DeleteUserTree(const std::wstring& key) {
  return MissingIsSuccess(::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str()));
}

LONG DeleteUserValue(const std::wstring& key, const std::wstring& name) {
  ScopedRegistryKey opened;
  const LONG result = OpenUserKey(key, KEY_SET_VALUE, opened);
  if (result != ERROR_SUCCESS) return MissingIsSuccess(result);
  return MissingIsSuccess(::RegDeleteValueW(opened.Get(), name.c_str()));
}

void DeleteUserKeyIfEmpty(const std::wstring& key) {
  DWORD subkeys = 0, values = 0;
  {
    ScopedRegistryKey opened;
    if (OpenUserKey(key, KEY_QUERY_VALUE, opened) != ERROR_SUCCESS) return;
    if (::RegQueryInfoKeyW(opened.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                           &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      return;
    }
  }
  if (subkeys == 0 && values == 0)
    ::RegDeleteKeyExW(HKEY_CURRENT_USER, key.c_str(), KEY_WOW64_64KEY, 0);
}

}  // namespace demo

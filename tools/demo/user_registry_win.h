// The registry work of the demo's registration tool and shell-menu library: keys and values
// under HKEY_CURRENT_USER, each call a whole small step that returns its system error code.
#pragma once

#include <windows.h>

#include <string>

#include "platform/handle_traits_win.h"

namespace demo {

struct RegistryKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle key) { return key != nullptr; }
  static void Close(Handle key) { ::RegCloseKey(key); }
};
using ScopedRegistryKey = platform::ScopedHandle<RegistryKeyTraits>;

// Creates Key with its missing parents and sets its value Name (empty: the key's default
// value) to Text. 0 on success, else the system error code.
LONG WriteUserString(const std::wstring& key, const std::wstring& name, const std::wstring& text);

// The same with an empty REG_NONE value, the form the shell expects in "OpenWithProgids".
LONG WriteUserMarker(const std::wstring& key, const std::wstring& name);

// The text of a string value; false when the key or the value is missing or not a string.
bool ReadUserString(const std::wstring& key, const std::wstring& name, std::wstring& text);

// Removal succeeds when there is nothing left to remove: a missing key or value is success.
LONG DeleteUserTree(const std::wstring& key);
LONG DeleteUserValue(const std::wstring& key, const std::wstring& name);

// Deletes Key when it holds neither values nor subkeys: keys that others may share (such as an
// extension's) go only when nothing of theirs is left.
void DeleteUserKeyIfEmpty(const std::wstring& key);

}  // namespace demo

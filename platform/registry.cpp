// Registry values as texts and numbers, on top of each platform's raw values.
#include <cstring>

#include "platform/change_observer.h"
#include "platform/os_error.h"
#include "platform/registry.h"

namespace platform {

namespace {

// Windows allows 255 characters in a key name.
constexpr size_t MaxKeyNameRoom = 256;

}  // namespace

bool RegistryKey::ReadText(StringView name, String& text) const {
  RegistryValue value;
  if (!ReadValue(name, value)) return false;
  if (value.Type != RegistryString && value.Type != RegistryExpandString) {
    SetLastOSError(ErrorUnsupportedType);
    return false;
  }
  // The stored bytes need not end in a zero, nor stop at the first one; readers take the text
  // up to the first zero, as the C string the writer meant.
  text.assign(value.Data.size() / 2, u'\0');
  std::memcpy(text.data(), value.Data.data(), text.size() * 2);
  text.resize(std::char_traits<char16_t>::length(text.c_str()));
  return true;
}

bool RegistryKey::ReadDword(StringView name, uint32_t& number) const {
  RegistryValue value;
  if (!ReadValue(name, value)) return false;
  if (value.Type != RegistryDword || value.Data.size() != sizeof(number)) {
    SetLastOSError(ErrorUnsupportedType);
    return false;
  }
  std::memcpy(&number, value.Data.data(), sizeof(number));
  return true;
}

String RegistryKey::FullName(RegistryRoot root, StringView path) {
  String name;
  switch (root) {
    case RegistryRoot::ClassesRoot: name = u"HKCR"; break;
    case RegistryRoot::CurrentUser: name = u"HKCU"; break;
    case RegistryRoot::LocalMachine: name = u"HKLM"; break;
    case RegistryRoot::Users: name = u"HKU"; break;
  }
  if (!path.empty() && path.front() != u'\\') name.push_back(u'\\');
  name += path;
  return name;
}

bool RegistryKey::WriteText(StringView name, StringView text) {
  const String terminated = String(text) + u'\0';
  return Reported(WriteValue(name, RegistryString, terminated.data(), terminated.size() * 2),
                  Change::RegistryValueWritten, name_,
                  String(name) + u" = \"" + String(text) + u'"');
}

bool RegistryKey::WriteExpandText(StringView name, StringView text) {
  const String terminated = String(text) + u'\0';
  return Reported(WriteValue(name, RegistryExpandString, terminated.data(), terminated.size() * 2),
                  Change::RegistryValueWritten, name_,
                  String(name) + u" = \"" + String(text) + u'"');
}

bool RegistryKey::WriteDword(StringView name, uint32_t number) {
  return Reported(WriteValue(name, RegistryDword, &number, sizeof(number)),
                  Change::RegistryValueWritten, name_,
                  String(name) + u" = " + Utf8ToString(std::to_string(number)));
}

bool RegistryKey::GetSubkeyNames(std::vector<String>& names) const {
  names.clear();
  for (uint32_t index = 0;; ++index) {
    String name;
    if (!GetSubkeyName(index, MaxKeyNameRoom, name)) {
      if (GetLastOSError() != ErrorNoMoreItems) return false;
      SetLastOSError(ErrorSuccess);
      return true;
    }
    names.push_back(std::move(name));
  }
}

}  // namespace platform

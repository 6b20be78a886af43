// The environment of the host double: Wine's variables for the double's user, which tests may
// change, expanded the way Windows expands them.
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/environment.h"
#include "platform/host_double.h"
#include "platform/locale.h"

namespace platform {

namespace {

struct Variable {
  String Name;
  std::optional<String> Value;  // none: removed by a test
};

std::mutex environment_mutex;
std::optional<String> user_name;  // none: the Linux user's, as under Wine
std::vector<Variable> changed_variables;

String LinuxUserName() {
  const passwd* entry = ::getpwuid(::geteuid());
  return entry != nullptr && entry->pw_name[0] != '\0' ? Utf8ToString(entry->pw_name) : u"user";
}

String UserName() {
  if (!user_name) user_name = LinuxUserName();
  return *user_name;
}

bool SameVariableName(StringView a, StringView b) {
  return a.size() == b.size() && CompareTextIgnoringCase(a, b) == 0;
}

std::vector<Variable> DefaultVariables() {
  const String profile = u"C:\\users\\" + UserName();
  return {
      {u"ALLUSERSPROFILE", u"C:\\ProgramData"},
      {u"APPDATA", profile + u"\\AppData\\Roaming"},
      {u"CommonProgramFiles", u"C:\\Program Files\\Common Files"},
      {u"HOMEDRIVE", u"C:"},
      {u"HOMEPATH", u"\\users\\" + UserName()},
      {u"LOCALAPPDATA", profile + u"\\AppData\\Local"},
      {u"ProgramData", u"C:\\ProgramData"},
      {u"ProgramFiles", u"C:\\Program Files"},
      {u"ProgramFiles(x86)", u"C:\\Program Files (x86)"},
      {u"ProgramW6432", u"C:\\Program Files"},
      {u"PUBLIC", u"C:\\users\\Public"},
      {u"SystemDrive", u"C:"},
      {u"SystemRoot", u"C:\\windows"},
      {u"TEMP", profile + u"\\Temp"},
      {u"TMP", profile + u"\\Temp"},
      {u"USERNAME", UserName()},
      {u"USERPROFILE", profile},
      {u"windir", u"C:\\windows"},
  };
}

std::optional<String> FindVariable(StringView name) {
  for (const Variable& variable : changed_variables) {
    if (SameVariableName(variable.Name, name)) return variable.Value;
  }
  for (const Variable& variable : DefaultVariables()) {
    if (SameVariableName(variable.Name, name)) return variable.Value;
  }
  return std::nullopt;
}

void ChangeVariable(StringView name, std::optional<String> value) {
  const auto found =
      std::find_if(changed_variables.begin(), changed_variables.end(),
                   [&](const Variable& v) { return SameVariableName(v.Name, name); });
  if (found != changed_variables.end()) {
    found->Value = std::move(value);
  } else {
    changed_variables.push_back({String(name), std::move(value)});
  }
}

}  // namespace

bool ExpandEnvironmentText(StringView text, String& expanded) {
  std::lock_guard lock(environment_mutex);
  expanded.clear();
  while (!text.empty()) {
    const size_t start = text.find(u'%');
    const size_t end = start == StringView::npos ? StringView::npos : text.find(u'%', start + 1);
    if (end == StringView::npos) {
      expanded += text;
      break;
    }
    expanded += text.substr(0, start);
    const std::optional<String> value = FindVariable(text.substr(start + 1, end - start - 1));
    // An unknown reference is copied with both its percent signs, and the scan goes on after
    // the second one: "%NONE%%TEMP%" keeps "%NONE%" and expands TEMP.
    expanded += value ? StringView(*value) : text.substr(start, end - start + 1);
    text.remove_prefix(end + 1);
  }
  return true;
}

bool GetCurrentUserName(String& name) {
  std::lock_guard lock(environment_mutex);
  name = UserName();
  return true;
}

void HostDouble::SetUserName(StringView name) {
  std::lock_guard lock(environment_mutex);
  user_name = String(name);
}

void HostDouble::SetEnvironmentValue(StringView name, StringView value) {
  std::lock_guard lock(environment_mutex);
  ChangeVariable(name, String(value));
}

void HostDouble::RemoveEnvironmentValue(StringView name) {
  std::lock_guard lock(environment_mutex);
  ChangeVariable(name, std::nullopt);
}

void HostDouble::ResetEnvironment() {
  std::lock_guard lock(environment_mutex);
  user_name.reset();
  changed_variables.clear();
}

}  // namespace platform

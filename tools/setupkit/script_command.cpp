// The maker's "script" command.
#include "tools/setupkit/script_command.h"

#include <string>

#include "package/installer_script.h"
#include "support/file_stream.h"

namespace {

String Count(int count) {
  return u" (" + Utf8ToString(std::to_string(count)) + u")\n";
}

String Family(const TInstallerScriptFile& file) {
  return file.LangFamily.empty() ? String() : u"  [" + file.LangFamily + u"]";
}

}  // namespace

int ShowScript(StringView script_file, TToolConsole& console) {
  TInstallerScript script;
  {
    TFileStream file(script_file, fmOpenRead | fmShareDenyWrite);
    script.Load(file);
  }
  String out = u"Components" + Count(script.Components.Count());
  for (int i = 0; i < script.Components.Count(); ++i) {
    const TInstallerScriptFile& file = script.Components.Items(i);
    out += u"  " + file.Name + u"  <-  " + file.SourceName() + Family(file) + u"\n";
  }
  out += u"Actions" + Count(script.Actions.Count());
  for (int i = 0; i < script.Actions.Count(); ++i) {
    const TInstallerScriptFile& action = script.Actions.Items(i);
    out += u"  " + action.Name + u"  (caption key " + action.SourceName() + u")\n";
  }
  out += u"Shortcuts" + Count(script.Shortcuts.Count());
  for (int i = 0; i < script.Shortcuts.Count(); ++i) {
    const TInstallerScriptFile& shortcut = script.Shortcuts.Items(i);
    out += u"  " + shortcut.Name + u"  ->  " + shortcut.SourceName() + u"\n";
  }
  out += u"License" + Count(script.License.Count());
  for (int i = 0; i < script.License.Count(); ++i) {
    const TInstallerScriptFile& license = script.License.Items(i);
    out += u"  " + license.Name + Family(license) + u"\n";
  }
  out += u"Settings" + Count(script.Settings.Count());
  for (int i = 0; i < script.Settings.Count(); ++i) out += u"  " + script.Settings.Items(i) + u"\n";
  console.Out(out);
  return 0;
}

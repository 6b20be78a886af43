// Fuzzes the installer script loader with any "Install.xml" content, text or compact forms.
#include <cstdint>
#include <vector>

#include "package/installer_script.h"
#include "support/memory_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TInstallerScript script;
  TMemoryStream stream(std::vector<uint8_t>(data, data + size));
  try {
    script.Load(stream);
  } catch (const Exception&) {
    // Two roots, or a truncated compact form: refused, as the installer would.
    return 0;
  }
  for (const TInstallerScriptGroup* group :
       {&script.Components, &script.Actions, &script.Shortcuts, &script.License}) {
    for (int i = 0; i < group->Count(); ++i) group->Items(i).SourceName();
    group->Find(u"EN");
  }
  script.GetSetting(u"ProductName");
  return 0;
}

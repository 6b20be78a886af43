// The player's settings file.
#include "product/installer_action_config.h"

#include "core/installer.h"
#include "core/installer_extract_helper.h"
#include "core/installer_product_info.h"
#include "core/installer_resources.h"
#include "platform/file_attributes.h"
#include "support/ini_file.h"
#include "support/memory_stream.h"

void TInstallerActionConfig::Execute() {
  SetStatus(GetCommonText(u"A6"));
  const String path = Installer->DestPath() + u"ZELO.ini";
  // Read as it is, and written whole the way every installed file is: beside it first, then
  // moved into place. Saved in place, a full disk or a killed run left the settings cut short,
  // and a rerun then misread the installed version; and a failed save went unreported.
  TVYNIniFile config(path, false);
  config.WriteSectionText(u"Integration", OptionStore().ReadSectionText(u"Integration"));
  config.EraseSection(u"System");
  config.WriteInteger(u"System", u"UserMode", Installer->HasOption(ioPortable) ? 0 : 1);
  config.WriteString(u"System", u"DefaultLang", Resources().LanguageName() + u".lng");
  config.WriteInteger(u"System", u"Version", ProductInfo().GetVersionId());
  if (!config.Modified()) return;

  TMemoryStream text;
  config.SaveToStream(text, &config.Encoding());
  // The user may have made the file read-only or hidden; Windows refuses to replace it then.
  const uint32_t attributes = platform::GetFileAttributeFlags(path);
  if (attributes != platform::InvalidFileAttributes &&
      !(attributes & platform::FileAttributeDirectory)) {
    static_cast<void>(platform::SetFileAttributeFlags(path, platform::FileAttributeNormal));
  }
  static_cast<void>(Installer->ExtractHelper().WriteTargetFile(path, [&text](TStream& file) {
    text.SetPosition(0);
    if (text.Size() > 0) file.CopyFrom(text, text.Size());
  }));
}

#include "ui/installer_palette.h"

#include "platform/registry.h"

TInstallerPalette GetInstallerPalette(bool dark_mode) {
  TInstallerPalette palette;
  if (dark_mode) {
    palette.Accent = 0x1C67AC;
    palette.StripBackground = 0x2A2A2A;
    palette.PageBackgroundTop = 0x262626;
    palette.PageBackgroundBottom = 0x262626;
    palette.HeaderText = 0xFFFFFF;
  } else {
    palette.Accent = 0x338CDE;
    palette.StripBackground = 0xFFFFFF;
    palette.PageBackgroundTop = 0xFFFFFF;
    palette.PageBackgroundBottom = 0xFFFFFF;
    palette.HeaderText = 0x000000;
  }
  palette.Footer = palette.Accent;
  palette.FooterLine = palette.Accent;
  palette.StripFill = palette.Accent;
  palette.StripHatch = palette.Accent;
  palette.VersionText = 0xF0F0F0;
  return palette;
}

bool ReadDarkModeFlag() {
  const platform::RegistryKey key = platform::RegistryKey::Open(
      platform::RegistryRoot::CurrentUser,
      u"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
      platform::RegistryAccess::Read);
  uint32_t light = 1;
  if (!key.IsOpen() || !key.ReadDword(u"AppsUseLightTheme", light)) return false;
  return light == 0;
}

// The wizard's colours (COLORREF, 0x00BBGGRR) for the light and the dark app mode, and the
// user's choice between them.
#pragma once

#include <cstdint>

using TColorRef = uint32_t;

struct TInstallerPalette {
  TColorRef Accent = 0;
  TColorRef Footer = 0;
  TColorRef FooterLine = 0;
  TColorRef StripFill = 0;
  TColorRef StripHatch = 0;
  TColorRef StripBackground = 0;
  TColorRef PageBackgroundTop = 0;
  TColorRef PageBackgroundBottom = 0;
  TColorRef HeaderText = 0;
  TColorRef VersionText = 0;

  bool operator==(const TInstallerPalette&) const = default;
};

TInstallerPalette GetInstallerPalette(bool dark_mode);

// Whether the user runs apps in dark mode: the Windows setting "AppsUseLightTheme" is 0. A
// missing or unreadable setting counts as light, the look of systems that predate dark mode.
bool ReadDarkModeFlag();

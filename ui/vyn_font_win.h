// The wizard's fonts: a face in points, sized for a DPI, with a fallback where the face is not
// installed (Windows only).
#pragma once

#include <windows.h>

#include "platform/handle_traits_win.h"
#include "platform/text.h"

// What a control asks for; the pixel height follows from the DPI when the font is made.
struct TVYNFontStyle {
  int PointSize = 8;
  bool Bold = false;
  bool Underline = false;

  bool operator==(const TVYNFontStyle&) const = default;
};

// "Segoe UI" when installed. Older systems and Wine lack it; then the system's message font
// (the face its own dialogs use) when that one is installed, and otherwise "Segoe UI" all the
// same, which leaves the choice to the font mapper (Wine maps it to a sans-serif face that
// keeps bold, where a substitution to another named face would not).
String GetVYNFontFace();

// True when a font family of that name is installed.
bool IsFontFaceInstalled(const String& face);

// Height −MulDiv(points, dpi, 72), the cell-less height Windows' own dialogs use.
int GetFontPixelHeight(int point_size, int dpi);

platform::ScopedFont CreateVYNFont(const TVYNFontStyle& style, int dpi);

// Name comparison: case is ignored, length is not.
#include "support/names.h"

#include <gtest/gtest.h>

TEST(SameName, IgnoresCaseOfLettersBeyondAscii) {
  EXPECT_TRUE(SameName(u"Install.xml", u"INSTALL.XML"));
  EXPECT_TRUE(SameName(u"Русский.lng", u"РУССКИЙ.LNG"));
  EXPECT_TRUE(SameName(u"Ärger", u"äRGER"));
  EXPECT_FALSE(SameName(u"English.lng", u"English.lnk"));
}

TEST(SameName, TextsOfDifferentLengthsAreNeverEqual) {
  EXPECT_FALSE(SameName(u"AUTO", u"AUTO "));
  EXPECT_FALSE(SameName(u"", u"x"));
  EXPECT_TRUE(SameName(u"", u""));
}

TEST(IsDeviceName, KnowsTheDevicesWhateverTheirExtensionAndCase) {
  for (const StringView device :
       {u"CON", u"con", u"NUL.txt", u"nul.tar.gz", u"CON .log", u"PRN", u"AUX", u"COM1",
        u"com9.txt", u"LPT0", u"COM\u00B9", u"LPT\u00B3", u"CONIN$", u"conout$.x"}) {
    EXPECT_TRUE(IsDeviceName(device)) << StringToUtf8(device);
  }
  for (const StringView name :
       {u"CONSOLE", u"NULL.txt", u"COM10", u"COM", u"LPTX", u"acon", u"x.NUL", u"CO", u""}) {
    EXPECT_FALSE(IsDeviceName(name)) << StringToUtf8(name);
  }
}

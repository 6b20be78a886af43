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

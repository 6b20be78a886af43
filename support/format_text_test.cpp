// Message placeholders.
#include "support/format_text.h"

#include <gtest/gtest.h>

TEST(FormatText, FillsPlaceholdersInOrder) {
  EXPECT_EQ(FormatText(u"Cannot install update on v%s", {u"4.51"}),
            u"Cannot install update on v4.51");
  EXPECT_EQ(FormatText(u"%s -> %s (%d%%)", {u"a", u"b", u"50"}), u"a -> b (50%)");
}

TEST(FormatText, TranslatorMistakesNeverFail) {
  EXPECT_EQ(FormatText(u"File %s in %s", {u"x.dll"}), u"File x.dll in ");
  EXPECT_EQ(FormatText(u"100% sure, %x", {u"unused"}), u"100% sure, %x");
  EXPECT_EQ(FormatText(u"ends with %", {}), u"ends with %");
}

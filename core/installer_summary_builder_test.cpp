// The summary of the ready-to-install page.
#include "core/installer_summary_builder.h"

#include <gtest/gtest.h>

namespace {

TEST(SummaryBuilder, NoItemsGiveNoTextWhateverTheHeadings) {
  TInstallerSummaryBuilder builder;
  builder.SetHeading(u"Shortcuts:");
  EXPECT_EQ(builder.ToString(), u"");
}

TEST(SummaryBuilder, GroupsAreSeparatedByOneEmptyLine) {
  TInstallerSummaryBuilder builder;
  builder.SetHeading(u"Integration:");
  builder.AddItem(u"Associate with files");
  builder.AddItem(u"Context menu");
  builder.SetHeading(u"Replaced before any item");
  builder.SetHeading(u"Shortcuts:");
  builder.AddItem(u"Desktop");
  builder.SetHeading(u"Never used");
  EXPECT_EQ(builder.ToString(),
            u"Integration:\r\n    Associate with files\r\n    Context menu\r\n\r\n"
            u"Shortcuts:\r\n    Desktop\r\n");
}

TEST(SummaryBuilder, ItemsWithoutAHeadingStandAlone) {
  TInstallerSummaryBuilder builder;
  builder.AddItem(u"Destination");
  EXPECT_EQ(builder.ToString(), u"    Destination\r\n");
}

}  // namespace

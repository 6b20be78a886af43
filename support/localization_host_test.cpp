// The languages folder beside the program, as the host double reports the program's path.
#include <gtest/gtest.h>

#include "platform/host_double.h"
#include "support/localization.h"

TEST(LangsFolder, IsTheLangsFolderBesideTheProgram) {
  platform::HostDouble::SetProgramFileName(u"C:\\Program Files\\Player\\setup.exe");
  EXPECT_EQ(LangsFolder(), u"C:\\Program Files\\Player\\Langs\\");
  SetLangsFolder(u"D:\\Elsewhere\\");
  EXPECT_EQ(LangsFolder(), u"D:\\Elsewhere\\");
  SetLangsFolder(u"");
  EXPECT_EQ(LangsFolder(), u"C:\\Program Files\\Player\\Langs\\");
  platform::HostDouble::SetProgramFileName(u"");
}

// INI text without a byte order mark under another system code page (a host double control).
#include <gtest/gtest.h>

#include "platform/host_double.h"
#include "support/ini_file.h"
#include "support/memory_stream.h"

namespace {

class IniAnsiCodePage : public testing::Test {
 protected:
  void SetUp() override { platform::HostDouble::SetAnsiCodePage(1251); }
  void TearDown() override { platform::HostDouble::SetAnsiCodePage(1252); }

  static std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }
};

TEST_F(IniAnsiCodePage, TextWithoutAMarkIsReadAndSavedInTheSystemCodePage) {
  // "[Раздел]" and "k=Да" in code page 1251.
  TMemoryStream stream(Bytes("[\xD0\xE0\xE7\xE4\xE5\xEB]\r\nk=\xC4\xE0"));
  TVYNIniFile ini;
  ini.LoadFromStream(stream);
  EXPECT_EQ(ini.ReadString(u"РАЗДЕЛ", u"K", u""), u"Да");
  TMemoryStream saved;
  ini.SaveToStream(saved, &ini.Encoding());
  EXPECT_EQ(saved.Bytes(), Bytes("[\xD0\xE0\xE7\xE4\xE5\xEB]\r\nk=\xC4\xE0\r\n\r\n"));
}

TEST_F(IniAnsiCodePage, BytesTheCodePageLacksStillGiveText) {
  // 0x98 is unassigned in code page 1251.
  TMemoryStream stream(Bytes("[S]\r\nk=\x98\xC4"));
  TVYNIniFile ini;
  ini.LoadFromStream(stream);
  EXPECT_EQ(ini.ReadString(u"S", u"k", u"").size(), 2u);
}

}  // namespace

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

TEST_F(IniAnsiCodePage, ABadByteSpoilsOnlyItsOwnCharacter) {
  struct Case {
    unsigned CodePage;
    std::string_view Bytes;
    StringView Value;
  };
  const Case cases[] = {
      {1251, "[S]\r\nk=\x98\xC4", u"\uFFFD\u0414"},  // 0x98 is unassigned in code page 1251
      // A lead byte of code page 932 without its trail byte, between two Japanese letters.
      {932, "[S]\r\nk=\x82\xA0\x81 \x82\xA2", u"\u3042\uFFFD \u3044"},
  };
  for (const Case& one : cases) {
    platform::HostDouble::SetAnsiCodePage(one.CodePage);
    TMemoryStream stream(Bytes(one.Bytes));
    TVYNIniFile ini;
    ini.LoadFromStream(stream);
    EXPECT_EQ(ini.ReadString(u"S", u"k", u""), one.Value) << one.CodePage;
  }
}

}  // namespace

// Text XML read in the system's ANSI code page follows the system's setting.
#include <gtest/gtest.h>

#include "platform/host_double.h"
#include "support/memory_stream.h"
#include "support/xml_document.h"

namespace {

class XMLAnsiCodePage : public testing::Test {
 protected:
  ~XMLAnsiCodePage() override { platform::HostDouble::SetAnsiCodePage(1252); }
};

TEST_F(XMLAnsiCodePage, DefaultSettingsAndUnknownEncodingsUseIt) {
  platform::HostDouble::SetAnsiCodePage(1251);
  const std::string texts[] = {
      "<a>\xC4\xE0</a>",
      "<?xml encoding=\"windows-x\"?><a>\xC4\xE0</a>",
      "<?xml encoding=\"latin-1\"?><a>\xC4\xE0</a>",
  };
  for (const std::string& text : texts) {
    TMemoryStream stream(std::vector<uint8_t>(text.begin(), text.end()));
    TVYNXMLDocument document(stream);
    EXPECT_EQ(document.Items(0)->NodeValue, u"Да") << text;
  }
}

}  // namespace

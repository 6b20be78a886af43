// The installer script: collections, settings and licence choice from "Install.xml".
#include "package/installer_script.h"

#include <gtest/gtest.h>

#include <string>

#include "support/memory_stream.h"
#include "support/xml_document.h"
#include "tests/support/case_title.h"

namespace {

std::unique_ptr<TInstallerScript> Load(std::string_view xml) {
  auto script = std::make_unique<TInstallerScript>();
  TMemoryStream stream(std::vector<uint8_t>(xml.begin(), xml.end()));
  script->Load(stream);
  return script;
}

std::vector<std::string> Entries(const TInstallerScriptGroup& group) {
  std::vector<std::string> entries;
  for (int i = 0; i < group.Count(); ++i) {
    const TInstallerScriptFile& file = group.Items(i);
    entries.push_back(StringToUtf8(file.Name) + "|" + StringToUtf8(file.Text) + "|" +
                      StringToUtf8(file.LangFamily));
  }
  return entries;
}

constexpr std::string_view SampleScript = R"(<?xml version="1.0" encoding="utf-8"?>
<Install>
  <setup><license><File name="License_RU.rtf" lang-family="RU"/><File name="License.rtf" lang-family="EN"/></license></setup>
  <product>
    <Components>
      <File name="$DEST\ZELO.exe"/>
      <file name="$DEST\Langs\Russian.lng" lang-family="RU">Russian.lng</file>
      <Folder name="ignored"/>
    </Components>
    <Settings>
      <Setting name="ProductName" value="ZELO"/>
      <Setting name="ProductVersion" value="5.0"/>
      <Setting name="ProductName" value="ZELO Player"/>
      <Empty name="BuildDate"/>
    </Settings>
    <Components><File name="$DEST\readme.txt">doc\readme.txt</File></Components>
    <Actions><File name="$DEST\ZELO.exe">cbRun</File><File name="$LINK">cbHomePage</File></Actions>
    <Shortcuts><File name="$DESKTOP\$NAME.lnk">$DEST\ZELO.exe</File></Shortcuts>
    <Unknown><File name="x"/></Unknown>
  </product>
</Install>)";

TEST(InstallerScript, ReadsEveryCollectionInDocumentOrder) {
  const auto script = Load(SampleScript);
  EXPECT_EQ(
      Entries(script->Components),
      (std::vector<std::string>{"$DEST\\ZELO.exe||", "$DEST\\Langs\\Russian.lng|Russian.lng|RU",
                                "$DEST\\readme.txt|doc\\readme.txt|"}));
  EXPECT_EQ(Entries(script->Actions),
            (std::vector<std::string>{"$DEST\\ZELO.exe|cbRun|", "$LINK|cbHomePage|"}));
  EXPECT_EQ(Entries(script->Shortcuts),
            (std::vector<std::string>{"$DESKTOP\\$NAME.lnk|$DEST\\ZELO.exe|"}));
  EXPECT_EQ(Entries(script->License),
            (std::vector<std::string>{"License_RU.rtf||RU", "License.rtf||EN"}));
}

TEST(InstallerScript, SettingsTakeTheLastLineOfANameAndMissingValuesReadEmpty) {
  const auto script = Load(SampleScript);
  EXPECT_EQ(script->GetSetting(u"ProductName"), u"ZELO Player");
  EXPECT_EQ(script->GetSetting(u"productversion"), u"5.0");
  EXPECT_EQ(script->GetSetting(u"BuildDate"), u"");
  EXPECT_EQ(script->Settings.Items(3), u"BuildDate=");
  EXPECT_EQ(script->GetSetting(u"HomePage"), u"");
}

TEST(InstallerScript, SourceNameIsTheTextOrTheLastPartOfTheName) {
  const auto script = Load(SampleScript);
  EXPECT_EQ(script->Components.Items(0).SourceName(), u"ZELO.exe");
  EXPECT_EQ(script->Components.Items(2).SourceName(), u"doc\\readme.txt");
  TInstallerScriptFile entry;
  entry.Name = u"C:/a/b:c.txt";
  EXPECT_EQ(entry.SourceName(), u"c.txt");
}

TEST(InstallerScript, LicenceChoiceByFamilyWithEnglishFallback) {
  const auto script = Load(SampleScript);
  ASSERT_NE(script->License.Find(u"ru"), nullptr);
  EXPECT_EQ(script->License.Find(u"ru")->Name, u"License_RU.rtf");
  EXPECT_EQ(script->License.Find(u"DE"), nullptr);
  EXPECT_EQ(script->License.Find(u"EN")->Name, u"License.rtf");
}

TEST(InstallerScript, AnEntryWithoutFamilyMatchesEveryLanguage) {
  const auto script = Load(
      "<r><setup><license><File name=\"Any.rtf\"/><File name=\"En.rtf\" lang-family=\"EN\"/>"
      "</license></setup></r>");
  EXPECT_EQ(script->License.Find(u"DE")->Name, u"Any.rtf");
  EXPECT_EQ(script->License.Find(u"EN")->Name, u"Any.rtf");
}

TEST(InstallerScript, AnElementHoldingOnlyAFileNameIsAGroupOfOne) {
  const auto script = Load("<x><SETUP><License>License.rtf</License></SETUP><Product/></x>");
  EXPECT_EQ(Entries(script->License), (std::vector<std::string>{"License.rtf||"}));
}

TEST(InstallerScript, MissingPartsLeaveCollectionsEmpty) {
  for (std::string_view xml : {"<Install/>", "<Install><setup/><other/></Install>",
                               "<Install><product><Components/></product></Install>"}) {
    const auto script = Load(xml);
    EXPECT_EQ(script->Components.Count() + script->Actions.Count() + script->Shortcuts.Count() +
                  script->License.Count() + script->Settings.Count(),
              0)
        << xml;
  }
}

TEST(InstallerScript, AFileWithoutANameHasAnEmptyName) {
  const auto script =
      Load("<i><product><Components><File>data.bin</File></Components></product></i>");
  EXPECT_EQ(Entries(script->Components), (std::vector<std::string>{"|data.bin|"}));
}

// A damaged script must stop the installer before anything is written, with a message that
// names the script and says what is wrong where; read leniently, it would install part of the
// product and fail later for a file or setting it had dropped.
struct BrokenScriptCase {
  const char* Title;
  std::string Xml;
  String Message;
};

class InstallerScriptRefusal : public testing::TestWithParam<BrokenScriptCase> {};

TEST_P(InstallerScriptRefusal, NamesTheScriptAndTheProblem) {
  try {
    Load(GetParam().Xml);
    FAIL() << "expected EInstallerScriptError";
  } catch (const EInstallerScriptError& error) {
    EXPECT_EQ(error.Message(), u"Install.xml is not valid XML: " + GetParam().Message);
  }
}

TEST(InstallerScript, TwoRootsRaiseTheDocumentsError) {
  EXPECT_THROW(Load("<a/><b/>"), EVYNXMLDocument);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstallerScriptRefusal,
    testing::Values(
        BrokenScriptCase{"Empty", "", u"the file is empty"},
        BrokenScriptCase{"OnlyBlanksAndAComment", "  \r\n<!-- nothing -->\r\n",
                         u"it holds no element"},
        BrokenScriptCase{"NotXmlAtAll", "ProductName=ZELO",
                         u"text stands outside the top element (line 1, column 1)"},
        BrokenScriptCase{"LessThanSigns", "<<<",
                         u"a tag is not closed with \">\" before this \"<\" (line 1, column 2)"},
        BrokenScriptCase{
            "Truncated",
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Install>\r\n  <product>\r\n"
            "    <Components>\r\n      <File name=\"$DEST\\ZELO.exe\"/>\r\n      <Fi",
            u"the file ends inside the tag <Fi> (line 6, column 10)"},
        BrokenScriptCase{"CutAfterACompleteTag", "<Install>\n <product>\n  <Components/>\n",
                         u"the file ends before </product> closes <product> (line 4, column 1)"},
        BrokenScriptCase{"WrongClosingTag",
                         "<Install><product>\n<Components>\n  <File name=\"$DEST\\a\"/>\n"
                         "</Component>\n</product></Install>",
                         u"expected </Components> to close <Components>, found </Component> "
                         u"(line 4, column 1)"},
        BrokenScriptCase{"ClosingTagInOtherLetterCase", "<Install></install>",
                         u"expected </Install> to close <Install>, found </install> "
                         u"(line 1, column 10)"},
        BrokenScriptCase{"EndTagWithoutItsBracket", "<Install><a></a</Install>",
                         u"the end tag </a> is not closed with \">\" (line 1, column 13)"},
        BrokenScriptCase{"ExtraEndTag", "<Install/>\n</Install>",
                         u"this end tag closes no open element (line 2, column 1)"},
        BrokenScriptCase{
            "UnclosedQuote", "<Install><File name=\"$DEST\\x/></Install>",
            u"the quoted value that starts here has no closing quote (line 1, column 21)"},
        BrokenScriptCase{"UnclosedComment", "<Install><!-- cut </Install>",
                         u"the comment that starts here is not closed with \"-->\" "
                         u"(line 1, column 10)"},
        BrokenScriptCase{"ColumnsCountCharacters", "<r a=\"\xC3\xA9\xF0\x9F\x8E\xB5\" <x/></r>",
                         u"the tag <r> is not closed with \">\" before this \"<\" "
                         u"(line 1, column 11)"}),
    CaseTitle());

TEST(InstallerScript, TextWithoutDeclarationIsReadInTheAnsiCodePage) {
  // "Caf\xE9" in Windows-1252 (the host double's and Wine's default ANSI code page).
  const auto script = Load(
      "<i><product><Settings><S name=\"Publisher\" value=\"Caf\xE9\"/></Settings></product></i>");
  EXPECT_EQ(script->GetSetting(u"Publisher"), u"Café");
}

}  // namespace

namespace {

// Root, then Depth - 1 nested elements below it.
std::string Nested(int depth) {
  std::string xml;
  for (int i = 0; i < depth; ++i) xml += "<a>";
  for (int i = 0; i < depth; ++i) xml += "</a>";
  return xml;
}

// A script nested thousands of levels deep is refused by name, without the reader (or the
// document's destruction) recursing once per level: under the sanitizers a recursion that deep
// would overflow the stack.
TEST(InstallerScript, NestingDeeperThanTheLimitIsRefused) {
  EXPECT_NO_THROW(Load(Nested(MaximumScriptDepth)));
  for (const int depth : {MaximumScriptDepth + 1, 200000}) {
    try {
      Load(Nested(depth));
      FAIL() << "expected EInstallerScriptError for " << depth;
    } catch (const EInstallerScriptError& error) {
      EXPECT_EQ(error.Message(),
                u"Install.xml nests its elements more than 64 levels deep; a script needs four.");
    }
  }
  // Deep inside a real script, past its files, counts too.
  const std::string script = "<Install><product><Components><File name=\"$DEST\\a\"/>" +
                             Nested(100000) + "</Components></product></Install>";
  EXPECT_THROW(Load(script), EInstallerScriptError);
}

}  // namespace

// Texts with characters beyond U+FFFF (an emoji in a publisher's name or a file name) through
// every reader of the installer's text: the XML of the installer script, INI files and language
// files, and the command line. Such a character takes a surrogate pair in UTF-16 and four bytes
// in UTF-8; a reader that takes only three-byte sequences reads the whole text as empty, and an
// installation then looks for a file named "".
#include <gtest/gtest.h>

#include <string>

#include "support/command_line.h"
#include "support/encoding.h"
#include "support/ini_file.h"
#include "support/localization.h"
#include "support/memory_stream.h"
#include "support/string_list.h"
#include "support/xml_document.h"
#include "tests/support/case_title.h"

namespace {

// U+1F3B5 (musical note) as UTF-8.
#define NOTE "\xF0\x9F\x8E\xB5"
constexpr StringView Note = u"\U0001F3B5";

std::string Utf16(StringView text, bool big_endian) {
  const TEncoding& encoding = big_endian ? TEncoding::BigEndianUnicode() : TEncoding::Unicode();
  const std::vector<uint8_t> mark = encoding.GetPreamble();
  const std::vector<uint8_t> bytes = encoding.GetBytes(text);
  return std::string(mark.begin(), mark.end()) + std::string(bytes.begin(), bytes.end());
}

std::vector<uint8_t> BytesOf(const std::string& bytes) {
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// The element "a" under the root "r" of a document read as the installer reads its script:
// from a stream, with the default settings.
const TVYNXMLNode& ElementA(TVYNXMLDocument& document, const std::string& bytes) {
  TMemoryStream stream(BytesOf(bytes));
  document.LoadFromStream(stream);
  EXPECT_FALSE(document.TextProblem().has_value()) << StringToUtf8(document.TextProblem()->Message);
  static const TVYNXMLNode missing;
  const TVYNXMLNode* element = document.FindNodeByPath({"r", "a"}, false);
  return element != nullptr ? *element : missing;
}

String XmlText(const std::string& bytes) {
  TVYNXMLDocument document;
  return ElementA(document, bytes).NodeValue;
}

String XmlAttribute(const std::string& bytes) {
  TVYNXMLDocument document;
  return ElementA(document, bytes).Attributes.GetValue("v");
}

String IniValue(const std::string& bytes) {
  TVYNIniFile ini;
  TMemoryStream stream(BytesOf(bytes));
  ini.LoadFromStream(stream);
  return ini.ReadString(u"S", u"K", u"(missing)");
}

String Utf8ListValue(const std::string& bytes) {
  TVYNStringList list;
  TMemoryStream stream(BytesOf(bytes));
  list.LoadFromStream(stream, &TEncoding::UTF8());
  return list.GetValue(u"K");
}

String Utf16ListValue(const std::string& bytes) {
  TVYNStringList list;
  TMemoryStream stream(BytesOf(bytes));
  list.LoadFromStream(stream, &TEncoding::Unicode());
  return list.GetValue(u"K");
}

String LanguageText(const std::string& bytes) {
  TVYNLocalization language;
  TMemoryStream stream(BytesOf(bytes));
  language.LoadFromStream(stream);
  return language.ReadString(u"Common", u"Caption", u"(missing)");
}

String AutoSwitch(const std::string& utf8_command_line) {
  String value;
  EXPECT_TRUE(GetSwitch(GetCommandLineArgs(Utf8ToString(utf8_command_line)), u"AUTO", value));
  return value;
}

struct UnicodeCase {
  const char* Title;
  std::string Bytes;
  String (*Read)(const std::string& bytes);
  String Expected;
};

class UnicodeTexts : public testing::TestWithParam<UnicodeCase> {};

TEST_P(UnicodeTexts, ReadWithEveryCharacterWhole) {
  EXPECT_EQ(GetParam().Read(GetParam().Bytes), GetParam().Expected);
}

const String Publisher = u"Caf\u00E9 " + String(Note) + u" Team";
const String FileName = u"$DEST\\Song " + String(Note) + u".txt";
const String Caption = u"Setup " + String(Note) + u"\r\nnext line";

INSTANTIATE_TEST_SUITE_P(
    Cases, UnicodeTexts,
    testing::Values(
        UnicodeCase{"XmlUtf8ElementText",
                    "<?xml version=\"1.0\" encoding=\"utf-8\"?><r><a>Caf\xC3\xA9 " NOTE
                    " Team</a></r>",
                    XmlText, Publisher},
        UnicodeCase{"XmlUtf8Attribute",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<r><a v=\"$DEST\\Song " NOTE
                    ".txt\"/></r>",
                    XmlAttribute, FileName},
        UnicodeCase{"XmlCharacterReferences", "<r><a>&#x1F3B5;&#127925;</a></r>", XmlText,
                    String(Note) + String(Note)},
        UnicodeCase{"XmlUtf8ByteOrderMarkWithoutDeclaration",
                    "\xEF\xBB\xBF<r><a>Caf\xC3\xA9 " NOTE " Team</a></r>", XmlText, Publisher},
        UnicodeCase{"XmlUtf16LittleEndian",
                    Utf16(u"<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n<r><a v=\"" + FileName +
                              u"\"/></r>",
                          false),
                    XmlAttribute, FileName},
        UnicodeCase{"XmlUtf16BigEndian", Utf16(u"<r><a>" + Publisher + u"</a></r>", true), XmlText,
                    Publisher},
        UnicodeCase{"XmlBrokenSequenceSpoilsOnlyItself",
                    "<?xml version=\"1.0\" encoding=\"utf-8\"?><r><a>\xF0\x9F\x8E " NOTE "</a></r>",
                    XmlText, u"\uFFFD " + String(Note)},
        UnicodeCase{"IniUtf8WithMark", "\xEF\xBB\xBF[S]\r\nK=Caf\xC3\xA9 " NOTE " Team\r\n",
                    IniValue, Publisher},
        UnicodeCase{"IniUtf16LittleEndianWithMark", Utf16(u"[S]\r\nK=" + FileName + u"\r\n", false),
                    IniValue, FileName},
        UnicodeCase{"IniUtf16BigEndianWithMark", Utf16(u"[S]\r\nK=" + FileName + u"\r\n", true),
                    IniValue, FileName},
        UnicodeCase{"ListUtf8WithoutMark", "K=Caf\xC3\xA9 " NOTE " Team\r\n", Utf8ListValue,
                    Publisher},
        UnicodeCase{"ListUtf16WithoutMark", Utf16(u"K=" + Publisher, false).substr(2),
                    Utf16ListValue, Publisher},
        UnicodeCase{"LanguageFileUtf8",
                    "\xEF\xBB\xBF[File]\r\nName=Test\r\n[Common]\r\nCaption=Setup " NOTE
                    "\\nnext line\r\n",
                    LanguageText, Caption},
        UnicodeCase{"LanguageFileUtf16",
                    Utf16(u"[File]\r\nName=Test\r\n[Common]\r\nCaption=Setup " + String(Note) +
                              u"\\nnext line\r\n",
                          false),
                    LanguageText, Caption},
        UnicodeCase{"CommandLineSwitch", "setup.exe /AUTO=\"C:\\" NOTE " Music\" /SILENT",
                    AutoSwitch, u"C:\\" + String(Note) + u" Music"}),
    CaseTitle());

}  // namespace

// The strict reading of language files: each slip a maker or translator makes, found with its
// file, line and a sentence that says what to do, and a complete set of files with none.
#include "tools/setupkit/language_lint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "package/language_keys.h"
#include "tests/support/case_title.h"

namespace {

// The smallest icon the language dialog accepts: one 16 x 16 entry with four bytes of image.
constexpr char Icon[] = "0000010001001010000001002000040000001600000000000000";

// An "English.lng" with every key the installer reads and the caption of the script's one
// action, each template holding the placeholders the installer fills in.
std::string CompleteEnglish() {
  std::string text =
      "[File]\r\nName=English\r\nAuthor=Team\r\nLangId=1033\r\nVersionId=1\r\nIcon=" +
      std::string(Icon) + "\r\nANSICP=1252\r\nFamily=EN\r\n";
  std::string section = "File";
  for (const TLanguageKeyInfo& info : LanguageKeys) {
    const std::string name = StringToUtf8(info.Section);
    if (name == "File") continue;
    if (name != section) {
      if (section == "PageFinish") text += "cbRun=Start it now\r\n";
      section = name;
      text += "\r\n; " + name + "\r\n[" + name + "]\r\n";
    }
    text += StringToUtf8(info.Key) + "=The text " + StringToUtf8(info.Placeholders) + "\r\n";
  }
  return text;
}

// Text with the first line that starts with Line removed.
std::string Without(std::string text, const std::string& line) {
  const size_t start = text.find("\n" + line) + 1;
  return text.erase(start, text.find('\n', start) + 1 - start);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  return text.replace(text.find(from), from.size(), to);
}

int LineCount(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

constexpr char Bom[] = "\xEF\xBB\xBF";

struct Expected {
  TLintSeverity Severity;
  const char16_t* File;
  int Line;
  // A part of the message that names the fault and what to do.
  std::string Says;
};

struct SlipCase {
  const char* Title;
  std::string English;
  // The one translation, "German.lng"; empty for none.
  std::string German;
  std::vector<Expected> Findings;
};

std::vector<TLintFinding> Lint(const std::string& english, const std::string& german = {}) {
  TLanguageLintInput input;
  input.English = english;
  if (!german.empty()) input.Translations.push_back({u"German.lng", german});
  input.ActionCaptionKeys = {u"cbRun"};
  return LintLanguages(input);
}

std::string Describe(const std::vector<TLintFinding>& findings) {
  std::string text;
  for (const TLintFinding& finding : findings) {
    text += (finding.Severity == TLintSeverity::Error ? "error " : "warning ") +
            StringToUtf8(finding.File) + ":" + std::to_string(finding.Line) + ": " +
            StringToUtf8(finding.Message) + "\n";
  }
  return text;
}

TEST(LanguageLint, CompleteFilesHaveNoFindings) {
  const std::string english = CompleteEnglish();
  EXPECT_EQ(Describe(Lint(english)), "");
  // A translation in UTF-8 with its mark, letters beyond ASCII and "%%" in a template.
  const std::string german = Replaced(Replaced(Bom + english, "QM=The text",
                                               "QM=Schlie\xC3\x9F"
                                               "en?"),
                                      "E1=The text %s", "E1=%s zu 100%% nicht geschrieben");
  EXPECT_EQ(Describe(Lint(english, german)), "");
  // UTF-16 in either byte order, with its mark.
  const String text = Utf8ToString(english);
  std::string little = "\xFF\xFE", big = "\xFE\xFF";
  for (const char16_t unit : text) {
    little += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    big += {static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)};
  }
  EXPECT_EQ(Describe(Lint(english, little)), "");
  EXPECT_EQ(Describe(Lint(english, big)), "");
}

class LanguageLintFinds : public testing::TestWithParam<SlipCase> {};

TEST_P(LanguageLintFinds, TheSlipWithItsLine) {
  const SlipCase& slip = GetParam();
  const std::vector<TLintFinding> findings = Lint(slip.English, slip.German);
  ASSERT_EQ(findings.size(), slip.Findings.size()) << Describe(findings);
  for (size_t i = 0; i < findings.size(); ++i) {
    const Expected& expected = slip.Findings[i];
    EXPECT_EQ(findings[i].Severity, expected.Severity) << Describe({findings[i]});
    EXPECT_EQ(findings[i].File, expected.File);
    EXPECT_EQ(findings[i].Line, expected.Line) << Describe({findings[i]});
    EXPECT_NE(StringToUtf8(findings[i].Message).find(expected.Says), std::string::npos)
        << Describe({findings[i]});
  }
}

constexpr auto Error = TLintSeverity::Error;
constexpr auto Warning = TLintSeverity::Warning;

// Built when the tests are listed, after the table of keys exists.
std::vector<SlipCase> Slips() {
  const std::string English = CompleteEnglish();
  const std::string German = Bom + English;
  const int End = LineCount(English);
  // The line Text's first occurrence is on.
  const auto line = [&](const std::string& text) {
    return LineCount(English.substr(0, English.find(text))) + 1;
  };
  return {
      // What English lacks, the page shows empty; the key of a text with a fallback of its
      // own is a warning.
      SlipCase{"EnglishLacksAText",
               Without(English, "QM="),
               "",
               {{Error, u"English.lng", 0, "[Common] QM is missing; it is the question"}}},
      SlipCase{"EnglishLacksATextWithAFallback",
               Without(English, "E5="),
               "",
               {{Warning, u"English.lng", 0, "[Common] E5 is missing; it is the error"}}},
      SlipCase{"EnglishLacksAnActionsCaption",
               Without(English, "cbRun="),
               "",
               {{Error, u"English.lng", 0, "[PageFinish] cbRun is missing; it captions"}}},
      SlipCase{"EnglishLacksAWholePage",
               Replaced(English, "[PageUninstall]", "[PageUninstal]"),
               "",
               {{Warning, u"English.lng", line("[PageUninstall]"),
                 "no section [PageUninstal]; did you mean [PageUninstall]?"},
                {Error, u"English.lng", 0,
                 "section [PageUninstall] is missing, so every text of it shows empty; add it "
                 "with Title, Description, L1"}}},
      // Names the installer never looks up.
      SlipCase{"AMisspelledKey",
               English + "[Common]\r\nCaptoin=Setup\r\n",
               "",
               {{Warning, u"English.lng", End + 2,
                 "reads no key \"Captoin\" in [Common]; did you mean \"Caption\"?"}}},
      SlipCase{"AKeyNothingResembles",
               English + "[PageSetup]\r\nFootnote=x\r\n",
               "",
               {{Warning, u"English.lng", End + 2,
                 "reads no key \"Footnote\" in [PageSetup]; remove it"}}},
      SlipCase{"AKeyWithBlanks",
               Replaced(English, "QM=", "QM ="),
               "",
               {{Warning, u"English.lng", line("QM="), "has blanks around it"},
                {Error, u"English.lng", 0, "[Common] QM is missing"}}},
      SlipCase{"ACaptionOfAnotherPage",
               English,
               German + "[PageSetup]\r\ncbRun=x\r\n",
               {{Warning, u"German.lng", End + 2, "reads no key \"cbRun\" in [PageSetup]"}}},
      // The lines the installer skips.
      SlipCase{"ALineBeforeAnySection",
               "Hello=1\r\n" + English,
               "",
               {{Warning, u"English.lng", 1, "comes before any section"}}},
      SlipCase{"ALineWithoutEquals",
               English + "[Common]\r\nCaption Setup\r\n",
               "",
               {{Warning, u"English.lng", End + 2, "has no key and \"=\""}}},
      SlipCase{"AKeyGivenTwice",
               English + "[Common]\r\nQM=Again?\r\n",
               "",
               {{Warning, u"English.lng", End + 2, "[Common] QM is given again (first on line"}}},
      SlipCase{"AnUnclosedHeader",
               English,
               Replaced(German, "[PageWelcome]", "[PageWelcome"),
               {{Warning, u"German.lng", line("[PageWelcome]"),
                 "does not end with \"]\", so the installer takes it for [PageWelcom]"},
                {Warning, u"German.lng", 0,
                 "section [PageWelcome] is missing; all of it falls back to English"}}},
      // The header the language dialog reads.
      SlipCase{"EnglishWithoutName",
               Without(English, "Name="),
               "",
               {{Error, u"English.lng", 0, "[File] Name is missing or empty"}}},
      SlipCase{"ATranslationWithoutName",
               English,
               Without(German, "Name="),
               {{Warning, u"German.lng", 0, "[File] Name is missing or empty"}}},
      SlipCase{"ATranslationWithoutFamily",
               English,
               Without(German, "Family="),
               {{Warning, u"German.lng", 0, "takes English's family"}}},
      SlipCase{"EnglishWithoutFamily",
               Without(English, "Family="),
               "",
               {{Warning, u"English.lng", 0, "takes \"EN\""}}},
      SlipCase{"ALangIdThatIsNoNumber",
               English,
               Replaced(German, "LangId=1033", "LangId=de-DE"),
               {{Warning, u"German.lng", 4, "LangId \"de-DE\" is no number"}}},
      SlipCase{"NoLangId",
               English,
               Without(German, "LangId="),
               {{Warning, u"German.lng", 0, "never preselects"}}},
      SlipCase{"AnIconThatIsNone",
               English,
               Replaced(German, Icon, "0000010001"),
               {{Warning, u"German.lng", 6, "no flag"}}},
      // Bytes the installer decodes otherwise than their writer meant.
      SlipCase{"Utf8WithoutMark",
               English,
               Replaced(English, "QM=The text",
                        "QM=Schlie\xC3\x9F"
                        "en?"),
               {{Error, u"German.lng", line("QM="), "UTF-8 without a byte order mark"}}},
      SlipCase{"AMarkOverBytesThatAreNoUtf8",
               English,
               Replaced(German, "QM=The text",
                        "QM=Schlie\xDF"
                        "en?"),
               {{Error, u"German.lng", line("QM="),
                 "the byte order mark says UTF-8, but this line's bytes are not"}}},
      SlipCase{
          "ACodePageWithoutMark",
          English,
          Replaced(English, "QM=The text",
                   "QM=Schlie\xDF"
                   "en?"),
          {{Warning, u"German.lng", line("QM="), "reads right only on Windows whose code page"}}},
      SlipCase{"Utf16WithoutMark",
               English,
               std::string("[\0F\0i\0l\0e\0]\0", 12),
               {{Error, u"German.lng", 1, "zero bytes but no byte order mark"},
                {Warning, u"German.lng", 0, "[File] Name is missing"},
                {Warning, u"German.lng", 0, "takes English's family"},
                {Warning, u"German.lng", 0, "LangId is missing"},
                {Warning, u"German.lng", 0, "section [Common] is missing"},
                {Warning, u"German.lng", 0, "section [PageWelcome] is missing"},
                {Warning, u"German.lng", 0, "section [PageLicense] is missing"},
                {Warning, u"German.lng", 0, "section [PageSetup] is missing"},
                {Warning, u"German.lng", 0, "section [PageAddons] is missing"},
                {Warning, u"German.lng", 0, "section [PageIntegration] is missing"},
                {Warning, u"German.lng", 0, "section [PageReadyToInstall] is missing"},
                {Warning, u"German.lng", 0, "section [PageInstall] is missing"},
                {Warning, u"German.lng", 0, "section [PageFinish] is missing"},
                {Warning, u"German.lng", 0, "section [PageUninstallParams] is missing"},
                {Warning, u"German.lng", 0, "section [PageUninstall] is missing"},
                {Warning, u"German.lng", 0, "section [PageUninstallFinish] is missing"}}},
      // Templates: the arguments the installer fills in.
      SlipCase{"ATranslationLosesAnArgument",
               English,
               Replaced(German, "QM2=The text %s", "QM2=Die Datei ist in Gebrauch"),
               {{Error, u"German.lng", line("QM2="),
                 "[Common] QM2 holds no placeholder where the installer fills in %s"}}},
      SlipCase{"ATranslationHasOneTooMany",
               English,
               Replaced(German, "L1=The text %s", "L1=%s von %s"),
               {{Error, u"German.lng", line("L1=The text %s"),
                 "[PageAddons] L1 holds %s %s where the installer fills in only %s"}}},
      SlipCase{"EnglishLacksOneOfTwo",
               Replaced(English, "L2=The text %s %s", "L2=See %s"),
               "",
               {{Error, u"English.lng", line("L2=The text %s %s"),
                 "[PageAddons] L2 holds %s where the installer fills in %s %s"}}},
      SlipCase{"APlaceholderInAPlainText",
               Replaced(English, "bNext=The text ", "bNext=%d >"),
               "",
               {{Error, u"English.lng", line("bNext="),
                 "[Common] bNext holds %d, but the installer shows this text as it is"}}},
      SlipCase{"APositionalPlaceholder",
               English,
               Replaced(German, "E3=The text %s", "E3=%s (%1)"),
               {{Warning, u"German.lng", line("E3="),
                 "[Common] E3 holds \"%1\", which the installer does not fill in"}}},
      // A translation's gaps are filled in from English.
      SlipCase{"ATranslationLacksAText",
               English,
               Without(German, "E3="),
               {{Warning, u"German.lng", 0, "[Common] E3 is missing; falls back to English"}}},
      SlipCase{"ATranslationLacksAPage",
               English,
               Replaced(German, "[PageInstall]", "[PageInstall2]"),
               {{Warning, u"German.lng", line("[PageInstall]"),
                 "no section [PageInstall2]; did you mean [PageInstall]?"},
                {Warning, u"German.lng", 0,
                 "section [PageInstall] is missing; all of it falls back to English"}}}};
}

INSTANTIATE_TEST_SUITE_P(Cases, LanguageLintFinds, testing::ValuesIn(Slips()), CaseTitle{});

TEST(LanguageLint, AnEnglishOfOnlyAHeaderHasEveryPageMissing) {
  const std::vector<TLintFinding> findings =
      Lint("[File]\r\nName=English\r\nLangId=1033\r\nFamily=EN\r\n");
  std::string missing;
  int errors = 0;
  for (const TLintFinding& finding : findings) {
    errors += finding.Severity == TLintSeverity::Error;
    const std::string message = StringToUtf8(finding.Message);
    missing += message.substr(0, message.find(" is missing")) + "\n";
  }
  EXPECT_EQ(missing,
            "section [Common]\nsection [PageWelcome]\nsection [PageLicense]\nsection "
            "[PageSetup]\nsection [PageAddons]\nsection [PageIntegration]\nsection "
            "[PageReadyToInstall]\nsection [PageInstall]\nsection [PageFinish]\nsection "
            "[PageUninstallParams]\nsection [PageUninstall]\nsection [PageUninstallFinish]\n"
            "[PageFinish] cbRun\n");
  EXPECT_EQ(errors, 13);
}

TEST(LanguageLint, SectionsAndKeysCompareIgnoringCase) {
  std::string english = CompleteEnglish();
  english = Replaced(english, "[Common]", "[COMMON]");
  english = Replaced(english, "bNext=", "BNEXT=");
  english = Replaced(english, "cbRun=", "CBRUN=");
  EXPECT_EQ(Describe(Lint(english)), "");
}

TEST(LanguageLint, TheReferenceListsEveryKeyWithItsPlaceholders) {
  const std::string tables = StringToUtf8(LanguageReferenceTables());
  EXPECT_NE(tables.find("### [Common]\n"), std::string::npos);
  EXPECT_NE(tables.find("| `QM2` | "), std::string::npos);
  EXPECT_NE(tables.find(" | `%s %s` |\n"), std::string::npos);
  EXPECT_NE(tables.find("| `ANSICP` | "), std::string::npos);
  EXPECT_NE(tables.find("the keys of `<Actions>`"), std::string::npos);
}

}  // namespace

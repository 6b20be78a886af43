// The language object: completion from English, line breaks, code page, listeners, headers, and
// the global lookups.
#include "support/localization.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/memory_stream.h"
#include "tests/support/case_title.h"
#include "tests/support/temporary_folder.h"

namespace {

constexpr std::string_view EnglishLanguage =
    "\xEF\xBB\xBF[File]\r\nName=English\r\nLangId=1033\r\n"
    "[Common]\r\nCaption=Setup\r\nQM=Quit setup?\r\nbNext=Next\r\n"
    "[PageSetup]\r\n;The setup page\r\nTitle=Setup\r\n";

// A partial translation: one text of "Common" and no "PageSetup".
constexpr std::string_view PartialLanguage =
    "\xEF\xBB\xBF[File]\r\nName=Deutsch\r\nANSICP=1252\r\n[Common]\r\nCaption=Installation\r\n";

class Localization : public testing::Test {
 protected:
  void SetUp() override {
    SetLangsFolder(folder_.Path());
    folder_.WriteFile(u"English.lng", EnglishLanguage);
  }
  void TearDown() override {
    SetLangsFolder(u"");
    SetDefaultByteTextCodePage(0);
    SetLangFormsNotifier(nullptr);
  }

  TemporaryFolder folder_;
};

TEST_F(Localization, PartialTranslationFallsBackToEnglishTexts) {
  folder_.WriteFile(u"Deutsch.lng", PartialLanguage);
  TVYNLocalization language(u"Deutsch.lng");
  EXPECT_EQ(language.FileName(), folder_.PathOf(u"Deutsch.lng"));
  EXPECT_EQ(language.ReadString(u"Common", u"Caption", u""), u"Installation");
  EXPECT_EQ(language.ReadString(u"Common", u"QM", u""), u"Quit setup?");
  EXPECT_EQ(language.ReadString(u"PageSetup", u"Title", u""), u"Setup");
  EXPECT_EQ(language.ReadSectionText(u"PageSetup"), u";The setup page\r\nTitle=Setup\r\n");
  EXPECT_EQ(language.ReadString(u"File", u"Name", u""), u"Deutsch");
}

TEST_F(Localization, LanguageLoadedFromAStreamIsCompletedToo) {
  TMemoryStream stream(std::vector<uint8_t>(PartialLanguage.begin(), PartialLanguage.end()));
  TVYNLocalization language;
  language.LoadFromStream(stream);
  EXPECT_EQ(language.ReadString(u"Common", u"bNext", u""), u"Next");
}

struct FileNameCase {
  const char* Title;
  const char* FileName;
};

class CompleteLanguages : public Localization, public testing::WithParamInterface<FileNameCase> {};

TEST_P(CompleteLanguages, MergeNothing) {
  const String name = Utf8ToString(GetParam().FileName);
  folder_.WriteFile(name, PartialLanguage);
  const TVYNLocalization language(name);
  EXPECT_EQ(language.ReadString(u"Common", u"Caption", u""), u"Installation");
  EXPECT_EQ(language.ReadString(u"Common", u"QM", u"missing"), u"missing");
  EXPECT_FALSE(language.SectionExists(u"PageSetup"));
}

INSTANTIATE_TEST_SUITE_P(Cases, CompleteLanguages,
                         testing::Values(FileNameCase{"Russian", "Russian.lng"},
                                         FileNameCase{"RussianInCapitals", "RUSSIAN.LNG"},
                                         FileNameCase{"EnglishInSmallLetters", "english.lng"}),
                         CaseTitle());

TEST_F(Localization, MissingFileLeavesAnEmptyObject) {
  const TVYNLocalization language(u"Missing.lng");
  EXPECT_TRUE(language.IsEmpty());
  EXPECT_EQ(language.ReadString(u"Common", u"Caption", u"built-in"), u"built-in");
}

TEST_F(Localization, BackslashNReadsAsALineBreak) {
  folder_.WriteFile(u"English.lng",
                    "[Common]\r\nQM=First line\\nSecond line\\n\r\nPath=C:\\new\\\\nothing\r\n"
                    "Number=\\n5\r\n");
  const TVYNLocalization language(u"English.lng");
  EXPECT_EQ(language.ReadString(u"Common", u"QM", u""), u"First line\r\nSecond line\r\n");
  EXPECT_EQ(language.ReadString(u"Common", u"Path", u""), u"C:\r\new\\\r\nothing");
  String value;
  EXPECT_TRUE(language.ReadValue(u"Common", u"QM", value));
  EXPECT_EQ(value, u"First line\r\nSecond line\r\n");
  // The raw line is kept: saving writes the two characters again.
  EXPECT_TRUE(
      language.ReadSectionText(u"Common").starts_with(u"QM=First line\\nSecond line\\n\r\n"));
  EXPECT_EQ(language.ReadInteger(u"Common", u"Number", -1), -1);
}

TEST_F(Localization, AnsiCodePageSetsTheDefaultForByteTexts) {
  folder_.WriteFile(u"Russian.lng", "[File]\r\nANSICP=1251\r\n");
  TVYNLocalization language(u"Russian.lng");
  EXPECT_EQ(DefaultByteTextCodePage(), 1251u);
  folder_.WriteFile(u"Other.lng", "[File]\r\nName=Other\r\n");
  language.LoadFromFile(u"Other.lng");
  EXPECT_EQ(DefaultByteTextCodePage(), 0u);
  folder_.WriteFile(u"Odd.lng", "[File]\r\nANSICP=-5\r\n");
  language.LoadFromFile(u"Odd.lng");
  EXPECT_EQ(DefaultByteTextCodePage(), 0u);
}

// ---- Listeners ---------------------------------------------------------------------------------

class RecordingListener : public virtual IVYNLocalizationListener {
 public:
  RecordingListener(std::vector<std::string>& log, std::string name)
      : log_(log), name_(std::move(name)) {}
  void OnLangChanged() override {
    log_.push_back(name_ + ".changed");
    if (on_changed) on_changed();
  }
  std::function<void()> on_changed;

 protected:
  std::vector<std::string>& log_;
  std::string name_;
};

class FullListener : public RecordingListener,
                     public IVYNLocalizationListener2,
                     public IVYNLocalizationListener3 {
 public:
  using RecordingListener::RecordingListener;
  void OnLangReloadTexts() override { log_.push_back(name_ + ".reload"); }
  void OnLangBeforeForms() override { log_.push_back(name_ + ".before forms"); }
};

TEST_F(Localization, ListenersAreToldInPassesAroundTheForms) {
  std::vector<std::string> log;
  FullListener first(log, "first");
  RecordingListener plain(log, "plain");
  FullListener last(log, "last");
  SetLangFormsNotifier([&log] { log.push_back("forms"); });
  TVYNLocalization language;
  language.AddListener(&first);
  language.AddListener(&plain);
  language.AddListener(&last);
  language.AddListener(&plain);
  language.LangChanged();
  EXPECT_EQ(log, (std::vector<std::string>{"first.reload", "last.reload", "first.before forms",
                                           "last.before forms", "forms", "first.changed",
                                           "plain.changed", "last.changed"}));
  language.RemoveListener(&plain);
  log.clear();
  language.LangChanged();
  EXPECT_EQ(log.size(), 7u);
}

TEST_F(Localization, ListenersMayBeRemovedDuringAPass) {
  std::vector<std::string> log;
  TVYNLocalization language;
  RecordingListener first(log, "first");
  RecordingListener second(log, "second");
  RecordingListener third(log, "third");
  language.AddListener(&first);
  language.AddListener(&second);
  language.AddListener(&third);
  // The first removes itself and the one after it.
  first.on_changed = [&] {
    language.RemoveListener(&first);
    language.RemoveListener(&second);
  };
  language.LangChanged();
  EXPECT_EQ(log, (std::vector<std::string>{"first.changed", "third.changed"}));
  log.clear();
  language.LangChanged();
  EXPECT_EQ(log, (std::vector<std::string>{"third.changed"}));
}

// ---- Language information ---------------------------------------------------------------------

constexpr char ValidIconHex[] =
    "0000010001001010000001002000040000001600"
    "0000DEADBEEF";

struct InfoCase {
  const char* Title;
  std::string IconLine;  // the line of the "Icon" key, if any
  bool HasIcon;
};

class LanguageInfo : public testing::TestWithParam<InfoCase> {};

TEST_P(LanguageInfo, ReadsTheHeaderAndTheIconIfThereIsOne) {
  TVYNIniFile language;
  language.LoadFromString(
      Utf8ToString("[File]\r\nName=Deutsch\r\nAuthor=Jemand\r\nLangId=1031\r\n"
                   "VersionId=$10\r\n" +
                   GetParam().IconLine));
  TVYNLocalizationInfo info;
  TVYNIcon icon;
  icon.LoadFromBytes({0, 0, 1, 0, 1, 0, 1, 1, 0, 0, 1, 0, 32, 0, 1, 0, 0, 0, 22, 0, 0, 0, 7});
  ASSERT_FALSE(icon.Empty());
  EXPECT_TRUE(LangGetInfo(language, info, &icon));
  EXPECT_EQ(info.Name, u"Deutsch");
  EXPECT_EQ(info.Author, u"Jemand");
  EXPECT_EQ(info.LangId, 1031);
  EXPECT_EQ(info.VersionId, 16);
  EXPECT_EQ(!icon.Empty(), GetParam().HasIcon);
  EXPECT_EQ(icon.Bytes().size(), GetParam().HasIcon ? 26u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LanguageInfo,
    testing::Values(InfoCase{"ValidIcon", std::string("Icon=") + ValidIconHex, true},
                    InfoCase{"NoIcon", "", false}, InfoCase{"EmptyIcon", "Icon=", false},
                    InfoCase{"OddNumberOfDigits", std::string("Icon=") + ValidIconHex + "0", false},
                    InfoCase{"NotHexadecimal", "Icon=00000100010Z", false},
                    InfoCase{"NotAnIcon", "Icon=89504E470D0A1A0A", false}),
    CaseTitle());

TEST(LanguageInfo, EmptyLanguageGivesDefaultsAndNoIconIsNeeded) {
  const TVYNIniFile language;
  TVYNLocalizationInfo info;
  info.Name = u"stale";
  EXPECT_TRUE(LangGetInfo(language, info, nullptr));
  EXPECT_EQ(info.Name, u"");
  EXPECT_EQ(info.Author, u"");
  EXPECT_EQ(info.LangId, 0);
  EXPECT_EQ(info.VersionId, 0);
}

// ---- The global language object ----------------------------------------------------------------

TEST(GlobalLanguage, EmptyObjectGivesTheCallersTexts) {
  EXPECT_TRUE(Lang().IsEmpty());
  EXPECT_EQ(LangGet(u"Common", u"bNext", u"&Next >"), u"&Next >");
  TVYNStringList items;
  items.SetText(u"One\r\nTwo\r\n");
  LangApplyTo(u"List", items);
  EXPECT_EQ(items.GetText(), u"One\r\nTwo\r\n");
  EXPECT_EQ(LangFileName(), u"");
}

TEST(GlobalLanguage, ApplyToReplacesItemsThatHaveATranslation) {
  Lang().LoadFromString(u"[List]\r\ni[1]=Zwei\\nZeilen\r\ni[5]=unused\r\n");
  Lang().SetFileName(u"C:\\Program\\Langs\\Deutsch.lng");
  TVYNStringList items;
  items.SetText(u"One\r\nTwo\r\nThree\r\n");
  LangApplyTo(u"list", items);
  const String applied = items.GetText();
  const String file_name = LangFileName();
  // The global object outlives this test; leave it empty for the others.
  Lang().Clear();
  Lang().SetFileName(u"");
  EXPECT_EQ(applied, u"One\r\nZwei\r\nZeilen\r\nThree\r\n");
  EXPECT_EQ(file_name, u"Deutsch.lng");
}

}  // namespace

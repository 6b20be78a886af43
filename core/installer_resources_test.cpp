// The installer's resources: packages, languages, texts and path variables.
#include "core/installer_resources.h"

#include <gtest/gtest.h>

#include "core/installer_errors.h"
#include "core/installer_test_fixture.h"
#include "tests/support/case_title.h"

namespace {

std::string Content(std::unique_ptr<TMemoryStream> stream) {
  return std::string(stream->Bytes().begin(), stream->Bytes().end());
}

class ResourcesTest : public InstallerTest {
 protected:
  TInstallerResources& Resources() { return installer_->Resources(); }
};

TEST_F(ResourcesTest, ListsTheLanguagesOfTheSetupPackageInNaturalOrder) {
  CreateAutomatic();
  const TVYNStringList& languages = Resources().Languages();
  ASSERT_EQ(languages.Count(), 3);
  EXPECT_EQ(languages.Items(0), u"Deutsch.lng");
  EXPECT_EQ(languages.Items(1), u"English.lng");
  EXPECT_EQ(languages.Items(2), u"Russian.lng");
}

TEST_F(ResourcesTest, FilesComeFromTheProductPackageFirst) {
  CreateAutomatic();
  // readme.txt is in both packages: the copy and the view are the product package's.
  EXPECT_EQ(Content(Resources().GetStream(u"README.TXT")), "Read me.\r\n");
  const auto view = Resources().GetView(u"README.TXT");
  EXPECT_EQ(std::string(view->Memory(), view->Memory() + view->Size()), "Read me.\r\n");
  EXPECT_EQ(Resources().PackageHolding(u"README.TXT"), &Resources().ProductPackage());
  EXPECT_EQ(Resources().PackageHolding(u"License.rtf"), &Resources().SetupPackage());
  EXPECT_EQ(Resources().PackageHolding(u"missing.dll"), nullptr);
  EXPECT_EQ(Content(Resources().GetStream(u"License.rtf")), "{\\rtf1\\ansi English licence.\\par}");
  try {
    Resources().GetStream(u"missing.dll");
    FAIL() << "expected EInstallerInstallError";
  } catch (const EInstallerInstallError& error) {
    EXPECT_EQ(error.Message(), u"Cannot locate \"missing.dll\" file in setup archive");
  }
}

TEST_F(ResourcesTest, AutomaticRunsTakeThePreselectedLanguage) {
  CreateAutomatic();
  Resources().InitializeLanguages();
  // The user interface language of both Wine's default prefix and the host double is 1033.
  EXPECT_EQ(Resources().LanguageName(), u"English");
  EXPECT_EQ(Resources().GetLanguageFamily(), u"EN");
  EXPECT_EQ(Content(Resources().GetLicense()), "{\\rtf1\\ansi English licence.\\par}");
}

TEST_F(ResourcesTest, TextsExpandVariablesAndLineBreaks) {
  CreateAutomatic();
  Resources().InitializeLanguages();
  EXPECT_EQ(Resources().GetString(u"Common", u"Welcome"), u"Welcome to ZELO 5.0, 2026-12-01");
  EXPECT_EQ(Resources().GetString(u"Common", u"QM2"),
            u"The file %s is in use.\r\nClose the program that uses it and press Retry.");
  EXPECT_EQ(Resources().GetString(u"Common", u"Missing"), u"");
}

TEST_F(ResourcesTest, VariablesAreReplacedInOrderAndCaseSensitively) {
  CreateAutomatic();
  const String dest = installer_->DestPath();
  const String expanded = Resources().ExpandVariables(u"$DEST$TEMP|$dest|$NAME $LINK");
  EXPECT_TRUE(expanded.starts_with(dest)) << StringToUtf8(expanded);
  EXPECT_TRUE(expanded.ends_with(u"\\|$dest|ZELO https://zelo.example/")) << StringToUtf8(expanded);
  EXPECT_EQ(Resources().ExpandVariables(u"$PROGRAMS"), Resources().ProgramFilesFolder());
  EXPECT_EQ(
      Resources().ProgramFilesX86Folder(),
      Resources().ProgramFilesFolder().substr(0, Resources().ProgramFilesFolder().size() - 1) +
          u" (x86)\\");
}

struct PathCase {
  const char* Title;
  String Text;
  String Expected;
};

class ExpandPath : public ResourcesTest, public testing::WithParamInterface<PathCase> {};

TEST_P(ExpandPath, CleansUpThePath) {
  CreateAutomatic();
  EXPECT_EQ(Resources().ExpandPath(GetParam().Text), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExpandPath,
    testing::Values(
        PathCase{"DoubledBackslashesDotsAndQuestionMarks", u"C:\\dir\\\\sub...\\fi?le.txt",
                 u"C:\\dir\\sub\\file.txt"},
        PathCase{"QuotesAndForbiddenCharactersGoSlashesDelimit", u"C:\\say \"hi\"\\<a|b>*c:d/e",
                 u"C:\\say hi\\abcd\\e"},
        PathCase{"LeadingBlanksAndTrailingBlanksAndDots", u"C:\\  a b . \\x", u"C:\\a b\\x"},
        PathCase{"APartOfDotsOnlyIsNoName", u"C:\\...\\x", u"C:\\x"},
        PathCase{"LongPathPrefixAndParentFolder", u"\\\\?\\C:\\Apps\\x\\..\\ZELO.exe",
                 u"C:\\Apps\\ZELO.exe"},
        PathCase{"TrailingBackslashStays", u"C:\\Apps\\ZELO\\", u"C:\\Apps\\ZELO\\"},
        PathCase{"DriveAlone", u"D:", u"D:\\"},
        PathCase{"NetworkRoot", u"\\\\server\\share\\\\dir", u"\\\\server\\share\\dir"},
        PathCase{"RelativePath", u"a\\\\b\\", u"a\\b\\"},
        PathCase{"PartsAreCutTo255Characters", u"C:\\" + String(300, u'x'),
                 u"C:\\" + String(255, u'x')},
        PathCase{"BackslashNIsAFolderNotALineBreak", u"C:\\new\\notes.txt", u"C:\\new\\notes.txt"}),
    CaseTitle());

}  // namespace

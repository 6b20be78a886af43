// The language choice, which follows the user's interface language; only the host double can
// pretend another one.
#include <gtest/gtest.h>

#include "core/installer_language_dialog.h"
#include "core/installer_resources.h"
#include "core/installer_test_fixture.h"
#include "platform/host_double.h"

namespace {

using platform::HostDouble;

class LanguageChoice : public InstallerTest {
 protected:
  void TearDown() override {
    HostDouble::SetUserInterfaceLanguage(0x0409);
    TInstallerLanguageDialog::ShowDialog = nullptr;
    InstallerTest::TearDown();
  }
};

TEST_F(LanguageChoice, APartialTranslationFallsBackToEnglishKeyByKey) {
  HostDouble::SetUserInterfaceLanguage(0x0407);
  TInstaller& installer = CreateAutomatic();
  installer.Resources().InitializeLanguages();
  EXPECT_EQ(installer.Resources().LanguageName(), u"Deutsch");
  EXPECT_EQ(installer.Resources().GetString(u"Common", u"E4"),
            u"Die Installation wurde abgebrochen.");
  EXPECT_EQ(installer.Resources().GetString(u"Common", u"E1"),
            u"The file %s could not be written.");
  // No "DE" licence: the English one.
  EXPECT_EQ(installer.Resources().GetLicense()->Size(), 33);
}

TEST_F(LanguageChoice, AnUnknownInterfaceLanguageGetsEnglish) {
  HostDouble::SetUserInterfaceLanguage(0x0411);
  TInstaller& installer = CreateAutomatic();
  installer.Resources().InitializeLanguages();
  EXPECT_EQ(installer.Resources().LanguageName(), u"English");
}

TEST_F(LanguageChoice, TheDialogListsByDisplayNameAndPreselects) {
  HostDouble::SetUserInterfaceLanguage(0x0419);
  std::vector<String> shown;
  int preselected = -1;
  TInstallerLanguageDialog::ShowDialog = [&](const std::vector<TInstallerLanguageEntry>& entries,
                                             int selected) {
    for (const auto& entry : entries) shown.push_back(entry.Name);
    preselected = selected;
    return 0;  // the user picks the first entry
  };
  TInstaller& installer = Create(u"");  // interactive: the dialog is shown
  installer.Resources().InitializeLanguages();
  EXPECT_EQ(shown, (std::vector<String>{u"Deutsch", u"English", u"Русский"}));
  EXPECT_EQ(preselected, 2);
  EXPECT_EQ(installer.Resources().LanguageName(), u"Deutsch");
}

TEST_F(LanguageChoice, TheRussianLicenceForTheRussianFamily) {
  HostDouble::SetUserInterfaceLanguage(0x0419);
  TInstaller& installer = CreateAutomatic();
  installer.Resources().InitializeLanguages();
  EXPECT_EQ(installer.Resources().GetLanguageFamily(), u"RU");
  const auto license = installer.Resources().GetLicense();
  EXPECT_EQ(std::string(license->Bytes().begin(), license->Bytes().end()),
            "{\\rtf1\\ansi Russian licence.\\par}");
}

}  // namespace

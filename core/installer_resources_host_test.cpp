// The language choice, which follows the user's interface language; only the host double can
// pretend another one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/installer_errors.h"
#include "core/installer_language_dialog.h"
#include "core/installer_resources.h"
#include "core/installer_test_fixture.h"
#include "core/installer_user_interface.h"
#include "package/setup_package_builder.h"
#include "platform/host_double.h"

namespace {

using platform::HostDouble;

// A user interface whose language dialog records what it was shown and picks the first entry.
class LanguagePicker : public IInstallerUserInterface {
 public:
  void InitializeApplication() override {}
  int ShowLanguageDialog(const std::vector<TInstallerLanguageEntry>& entries,
                         int preselected) override {
    for (const auto& entry : entries) Shown.push_back(entry.Name);
    Preselected = preselected;
    return 0;
  }
  int RunWizard() override { return 0; }
  platform::NativeWindow OwnerWindow() const override { return nullptr; }

  std::vector<String> Shown;
  int Preselected = -1;
};

class LanguageChoice : public InstallerTest {
 protected:
  void TearDown() override {
    HostDouble::SetUserInterfaceLanguage(0x0409);
    SetInstallerUserInterface(nullptr);
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
  LanguagePicker picker;
  SetInstallerUserInterface(&picker);
  TInstaller& installer = Create(u"");  // interactive: the dialog is shown
  installer.Resources().InitializeLanguages();
  EXPECT_EQ(picker.Shown, (std::vector<String>{u"Deutsch", u"English", u"Русский"}));
  EXPECT_EQ(picker.Preselected, 2);
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

namespace {

// Every language file is read whole, by the language dialog and again for the run, and held as
// text several times its size: one far larger than any real one is refused from the package's
// table alone, before a byte of it is read.
TEST_F(LanguageChoice, ALanguageFileLargerThanTheLimitIsRefusedBeforeItIsRead) {
  const std::string script =
      "<Install><product><Settings><Setting name=\"ProductName\" value=\"ZELO\"/></Settings>"
      "</product></Install>";
  const std::string english = "[File]\r\nFamily=EN\r\n";
  TSetupPackageBuilder builder;
  TMemoryStream xml(std::vector<uint8_t>(script.begin(), script.end()));
  builder.AddFile(xml, u"Install.xml");
  TMemoryStream english_file(std::vector<uint8_t>(english.begin(), english.end()));
  builder.AddFile(english_file, u"English.lng");
  TMemoryStream huge(std::vector<uint8_t>(static_cast<size_t>(MaximumLanguageFileSize) + 1, ' '));
  builder.AddFile(huge, u"Langs\\Huge.LNG");
  TMemoryStream package;
  builder.Commit(package, 0);
  HostDouble::SetDataResource(nullptr, u"SETUP", package.Bytes());
  HostDouble::SetDataResource(nullptr, u"PRODUCT", package.TakeBytes());
  try {
    CreateAutomatic();
    FAIL() << "expected EInstallerInstallError";
  } catch (const EInstallerInstallError& error) {
    EXPECT_EQ(error.Message(),
              u"The language file \"Langs\\Huge.LNG\" holds 4194305 bytes, more than the 4194304 "
              u"bytes a language file may hold.");
  }
}

}  // namespace

// The uninstall entry, checked alike in Wine's registry (under a test product's own key, removed
// afterwards) and the host double's.
#include "core/installer_application_repository.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/clock.h"
#include "platform/registry.h"
#include "tests/support/case_title.h"
#include "tests/support/temporary_folder.h"

namespace {

using platform::RegistryAccess;
using platform::RegistryKey;
using platform::RegistryRoot;
using platform::RegistryValue;

constexpr char16_t DisplayName[] = u"uInstaller Test Product";
constexpr char16_t KeyPath[] =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\uInstallerTestProduct";

String Today() {
  const platform::LocalTime now = platform::GetCurrentLocalTime();
  char text[16];
  std::snprintf(text, sizeof(text), "%04u%02u%02u", now.Year, now.Month, now.Day);
  return Utf8ToString(text);
}

// A text as the registry stores it: UTF-16LE with its terminating zero.
RegistryValue TextBytes(uint32_t type, StringView text) {
  RegistryValue value{type, {}};
  for (const char16_t unit : text) {
    value.Data.push_back(static_cast<uint8_t>(unit & 0xFF));
    value.Data.push_back(static_cast<uint8_t>(unit >> 8));
  }
  value.Data.insert(value.Data.end(), 2, 0);
  return value;
}

RegistryValue DwordBytes(uint32_t number) {
  RegistryValue value{platform::RegistryDword, std::vector<uint8_t>(4)};
  std::memcpy(value.Data.data(), &number, 4);
  return value;
}

class ApplicationRepository : public testing::Test {
 protected:
  void SetUp() override {
    TInstallerApplicationRepository::Unregister(DisplayName);
    folder_.WriteFile(u"ZELO\\Uninstall.exe", "uninstaller");
  }
  void TearDown() override { TInstallerApplicationRepository::Unregister(DisplayName); }

  String Uninstaller() const { return folder_.PathOf(u"ZELO\\Uninstall.exe"); }

  RegistryValue Value(StringView name) const {
    RegistryValue value;
    const RegistryKey key =
        RegistryKey::Open(RegistryRoot::LocalMachine, KeyPath, RegistryAccess::Read);
    EXPECT_TRUE(key.ReadValue(name, value)) << StringToUtf8(name);
    return value;
  }

  TemporaryFolder folder_;
};

TEST_F(ApplicationRepository, RegisterWritesEveryValueUnderTheNameWithoutBlanks) {
  const String before = Today();
  ASSERT_TRUE(TInstallerApplicationRepository::Register(DisplayName, Uninstaller(), u"5.1.0.1234",
                                                        u"", u"https://zelo.example/"));
  const String after = Today();

  EXPECT_EQ(Value(u"NoModify").Data, DwordBytes(1).Data);
  EXPECT_EQ(Value(u"NoRepair").Type, platform::RegistryDword);
  EXPECT_EQ(Value(u"NoRepair").Data, DwordBytes(1).Data);
  const struct {
    const char16_t* Name;
    String Text;
  } texts[] = {
      {u"DisplayIcon", Uninstaller()},
      {u"DisplayName", DisplayName},
      {u"DisplayVersion", u"5.1.0.1234"},
      {u"InstallPath", folder_.PathOf(u"ZELO\\")},
      {u"Publisher", u""},
      {u"UninstallString", u"\"" + Uninstaller() + u"\""},
      {u"URLInfoAbout", u"https://zelo.example/"},
  };
  for (const auto& text : texts) {
    const RegistryValue value = Value(text.Name);
    EXPECT_EQ(value.Type, platform::RegistryString) << StringToUtf8(text.Name);
    EXPECT_EQ(value.Data, TextBytes(platform::RegistryString, text.Text).Data)
        << StringToUtf8(text.Name);
  }
  const RegistryValue date = Value(u"InstallDate");
  EXPECT_TRUE(date.Data == TextBytes(platform::RegistryString, before).Data ||
              date.Data == TextBytes(platform::RegistryString, after).Data);
}

TEST_F(ApplicationRepository, DeploymentValuesAreAddedToARegisteredEntryOnly) {
  EXPECT_FALSE(TInstallerApplicationRepository::RegisterDeploymentValues(DisplayName, Uninstaller(),
                                                                         1, Uninstaller()));
  EXPECT_FALSE(
      RegistryKey::Open(RegistryRoot::LocalMachine, KeyPath, RegistryAccess::Read).IsOpen())
      << "an entry without the ten values would be a broken one";

  ASSERT_TRUE(
      TInstallerApplicationRepository::Register(DisplayName, Uninstaller(), u"5.0", u"P", u"h"));
  const String icon = folder_.PathOf(u"ZELO\\ZELO.exe");
  ASSERT_TRUE(TInstallerApplicationRepository::RegisterDeploymentValues(DisplayName, Uninstaller(),
                                                                        4321, icon));
  EXPECT_EQ(Value(u"QuietUninstallString").Data,
            TextBytes(platform::RegistryString,
                      u"\"" + Uninstaller() + u"\" /AUTO /SILENT /SUPPRESSMSGBOXES")
                .Data);
  EXPECT_EQ(Value(u"EstimatedSize").Data, DwordBytes(4321).Data);
  EXPECT_EQ(Value(u"EstimatedSize").Type, platform::RegistryDword);
  EXPECT_EQ(Value(u"InstallLocation").Data,
            TextBytes(platform::RegistryString, folder_.PathOf(u"ZELO\\")).Data);
  EXPECT_EQ(Value(u"DisplayIcon").Data, TextBytes(platform::RegistryString, icon).Data);
  // Removed with the entry.
  ASSERT_TRUE(TInstallerApplicationRepository::Unregister(DisplayName));
  EXPECT_FALSE(
      RegistryKey::Open(RegistryRoot::LocalMachine, KeyPath, RegistryAccess::Read).IsOpen());
}

TEST_F(ApplicationRepository, RegisteringAgainOverwritesTheValues) {
  ASSERT_TRUE(
      TInstallerApplicationRepository::Register(DisplayName, Uninstaller(), u"4.0", u"Old", u"x"));
  folder_.WriteFile(u"New Place\\Uninstall.exe", "uninstaller");
  const String moved = folder_.PathOf(u"New Place\\Uninstall.exe");
  ASSERT_TRUE(TInstallerApplicationRepository::Register(DisplayName, moved, u"5.0", u"New", u"y"));
  EXPECT_EQ(Value(u"DisplayVersion").Data, TextBytes(platform::RegistryString, u"5.0").Data);
  EXPECT_EQ(Value(u"Publisher").Data, TextBytes(platform::RegistryString, u"New").Data);
  String path;
  ASSERT_TRUE(TInstallerApplicationRepository::GetInstallPath(u"uInstallerTestProduct", path));
  EXPECT_EQ(path, folder_.PathOf(u"New Place\\"));
}

TEST_F(ApplicationRepository, ANameOfBlanksOnlyRegistersAndRemovesNothing) {
  EXPECT_FALSE(TInstallerApplicationRepository::Register(u"   ", Uninstaller(), u"1", u"", u""));
  EXPECT_FALSE(TInstallerApplicationRepository::Register(u"", Uninstaller(), u"1", u"", u""));
  EXPECT_FALSE(TInstallerApplicationRepository::Unregister(u"  "));
}

TEST_F(ApplicationRepository, UnregisterRemovesTheEntryWithItsSubkeys) {
  ASSERT_TRUE(
      TInstallerApplicationRepository::Register(DisplayName, Uninstaller(), u"5.0", u"", u""));
  for (const char16_t* subkey : {u"\\A\\Deeper", u"\\B", u"\\C\\D\\E"}) {
    ASSERT_TRUE(RegistryKey::Create(RegistryRoot::LocalMachine, KeyPath + String(subkey))
                    .WriteDword(u"Kept", 1));
  }
  EXPECT_TRUE(TInstallerApplicationRepository::Unregister(DisplayName));
  EXPECT_FALSE(
      RegistryKey::Open(RegistryRoot::LocalMachine, KeyPath, RegistryAccess::Read).IsOpen());
  EXPECT_FALSE(TInstallerApplicationRepository::Unregister(DisplayName));
}

TEST_F(ApplicationRepository, ASubkeyNameTooLongForItsBufferKeepsTheEntry) {
  const String long_name(64, u'n');
  ASSERT_TRUE(
      RegistryKey::Create(RegistryRoot::LocalMachine, KeyPath + (u"\\" + long_name)).IsOpen());
  ASSERT_TRUE(
      RegistryKey::Create(RegistryRoot::LocalMachine, String(KeyPath) + u"\\Short").IsOpen());
  EXPECT_FALSE(TInstallerApplicationRepository::Unregister(DisplayName));
  EXPECT_FALSE(RegistryKey::Open(RegistryRoot::LocalMachine, String(KeyPath) + u"\\Short",
                                 RegistryAccess::Read)
                   .IsOpen());
  ASSERT_TRUE(RegistryKey::Delete(RegistryRoot::LocalMachine, KeyPath + (u"\\" + long_name)));
}

// GetInstallPath's sources, in order. Paths are relative to the test's folder, where "ZELO\"
// holds "Uninstall.exe" and "Gone\" does not exist; a value of std::nullopt is left out.
struct InstallPathCase {
  const char* Title;
  std::optional<String> InstallPath;
  std::optional<String> UninstallString;
  std::optional<String> DisplayIcon;
  bool Found;
  const char16_t* Path;
};

class InstallPaths : public ApplicationRepository,
                     public testing::WithParamInterface<InstallPathCase> {
 protected:
  String Resolve(const String& text) const { return text.empty() ? text : folder_.PathOf(text); }
};

TEST_P(InstallPaths, ComeFromTheFirstValueThatNamesAnExistingFolder) {
  const InstallPathCase& test = GetParam();
  RegistryKey key = RegistryKey::Create(RegistryRoot::LocalMachine, KeyPath);
  if (test.InstallPath) {
    ASSERT_TRUE(key.WriteExpandText(u"InstallPath", Resolve(*test.InstallPath)));
  }
  if (test.UninstallString) {
    ASSERT_TRUE(key.WriteText(u"UninstallString", Resolve(*test.UninstallString)));
  }
  if (test.DisplayIcon) {
    ASSERT_TRUE(key.WriteText(u"DisplayIcon", Resolve(*test.DisplayIcon)));
  }
  key.Close();

  String path = u"stale";
  EXPECT_EQ(TInstallerApplicationRepository::GetInstallPath(u"uInstallerTestProduct", path),
            test.Found);
  EXPECT_EQ(path, Resolve(test.Path));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstallPaths,
    testing::Values(InstallPathCase{"InstallPathFirst", u"ZELO\\", u"Gone\\Uninstall.exe",
                                    std::nullopt, true, u"ZELO\\"},
                    InstallPathCase{"InstallPathGetsItsBackslash", u"ZELO", std::nullopt,
                                    std::nullopt, true, u"ZELO\\"},
                    InstallPathCase{"UninstallStringWhenInstallPathIsMissing", std::nullopt,
                                    u"ZELO\\Uninstall.exe", std::nullopt, true, u"ZELO\\"},
                    InstallPathCase{"UninstallStringWhenInstallPathIsGone", u"Gone\\",
                                    u"ZELO\\Uninstall.exe", u"Gone\\Uninstall.exe", true,
                                    u"ZELO\\"},
                    InstallPathCase{"DisplayIconLast", u"Gone\\", u"Gone\\Uninstall.exe",
                                    u"ZELO\\Uninstall.exe,0", true, u"ZELO\\"},
                    InstallPathCase{"NoneExistsGivesTheLastCandidate", u"Gone\\",
                                    u"Gone\\Uninstall.exe", u"Gone\\Other\\ZELO.exe", false,
                                    u"Gone\\Other\\"},
                    InstallPathCase{"NoValuesGiveNothing", std::nullopt, std::nullopt, std::nullopt,
                                    false, u""}),
    CaseTitle());

TEST_F(ApplicationRepository, AQuotedUninstallStringGivesNoFolder) {
  RegistryKey key = RegistryKey::Create(RegistryRoot::LocalMachine, KeyPath);
  ASSERT_TRUE(key.WriteText(u"UninstallString", u"\"" + Uninstaller() + u"\""));
  key.Close();
  String path;
  EXPECT_FALSE(TInstallerApplicationRepository::GetInstallPath(u"uInstallerTestProduct", path));
  EXPECT_EQ(path, u"");
}

TEST_F(ApplicationRepository, AnInstallPathOfAnotherTypeCountsAsMissing) {
  RegistryKey key = RegistryKey::Create(RegistryRoot::LocalMachine, KeyPath);
  ASSERT_TRUE(key.WriteDword(u"InstallPath", 1));
  ASSERT_TRUE(key.WriteText(u"DisplayIcon", Uninstaller()));
  key.Close();
  String path;
  EXPECT_TRUE(TInstallerApplicationRepository::GetInstallPath(u"uInstallerTestProduct", path));
  EXPECT_EQ(path, folder_.PathOf(u"ZELO\\"));
}

TEST_F(ApplicationRepository, AnUnregisteredKeyGivesNoPath) {
  String path = u"stale";
  EXPECT_FALSE(TInstallerApplicationRepository::GetInstallPath(u"uInstallerTestProduct", path));
  EXPECT_EQ(path, u"");
}

}  // namespace

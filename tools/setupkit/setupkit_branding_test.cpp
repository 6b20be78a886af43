// "build" names the product in the setup program it writes: its version information comes from
// the script's settings and, with --icon, its icon from an icon file; a file that is no icon is
// refused before anything is written.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "tests/support/case_title.h"
#include "tests/support/temporary_folder.h"
#include "tiny_program_bytes.h"
#include "tools/setupkit/capturing_console.h"
#include "tools/setupkit/native_path.h"
#include "tools/setupkit/pe_resources.h"
#include "tools/setupkit/setupkit.h"
#include "tools/setupkit/test_icon_file.h"
#include "tools/setupkit/version_resource.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

class SetupKitBranding : public testing::Test {
 protected:
  void SetUp() override {
    folder_.WriteFile(u"tiny.exe", std::string_view(reinterpret_cast<const char*>(TinyProgramBytes),
                                                    sizeof TinyProgramBytes));
    WriteScript(
        "<S name=\"ProductName\" value=\"ZELO\"/><S name=\"ProductVersion\" value=\"5.00\"/>"
        "<S name=\"ProductVersionNo\" value=\"5.0.3.1\"/>"
        "<S name=\"Publisher\" value=\"ZELO Team\"/>");
    folder_.WriteFile(u"setup\\English.lng", "[File]\r\nName=English\r\n");
    folder_.WriteFile(u"product\\ZELO.exe", "MZ player");
  }

  void WriteScript(const std::string& settings) {
    folder_.WriteFile(u"setup\\Install.xml", "<Install><product><Settings>" + settings +
                                                 "</Settings></product></Install>");
  }

  String Native(StringView relative = {}) const {
    return FromNativePath(folder_.NativePath(relative));
  }

  int Build(std::vector<String> extra = {}) {
    std::vector<String> arguments = {
        u"build", u"--setup",         Native(u"setup"), u"--product",        Native(u"product"),
        u"-o",    Native(u"out.exe"), u"--program",     Native(u"tiny.exe"), u"--level",
        u"1",     u"--no-lint"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    console_ = CapturingConsole();
    return RunSetupKit(arguments, console_);
  }

  std::vector<TPeResource> Resources() {
    built_ = Bytes(folder_.ReadFile(u"out.exe"));
    return ReadResources(built_);
  }

  TVersionInfo BuiltVersion() {
    for (const TPeResource& resource : Resources()) {
      if (!resource.Type.IsName && resource.Type.Number == PeResourceTypeVersion) {
        return DecodeVersionResource(resource.Data);
      }
    }
    ADD_FAILURE() << "no version resource";
    return {};
  }

  TemporaryFolder folder_;
  CapturingConsole console_;
  std::vector<uint8_t> built_;
};

TEST_F(SetupKitBranding, VersionInformationNamesTheProduct) {
  ASSERT_EQ(Build(), 0) << StringToUtf8(console_.error);
  EXPECT_EQ(console_.error, u"");
  const TVersionInfo info = BuiltVersion();
  EXPECT_EQ(info.Language, 0x409);  // the tiny program's own
  EXPECT_EQ(info.FileVersion, (TVersionNumbers{5, 0, 3, 1}));
  EXPECT_EQ(info.ProductVersion, (TVersionNumbers{5, 0, 3, 1}));
  EXPECT_EQ(info.Strings,
            (std::vector<std::pair<String, String>>{{u"CompanyName", u"ZELO Team"},
                                                    {u"FileDescription", u"ZELO Setup"},
                                                    {u"FileVersion", u"5.00"},
                                                    {u"ProductName", u"ZELO"},
                                                    {u"ProductVersion", u"5.00"}}));
}

// The installer reads the product package's script before the setup package's; so does build.
TEST_F(SetupKitBranding, TakesTheScriptTheInstallerReads) {
  folder_.WriteFile(u"product\\install.XML",
                    "<Install><product><Settings><S name=\"ProductName\" value=\"Other\"/>"
                    "</Settings></product></Install>");
  ASSERT_EQ(Build(), 0) << StringToUtf8(console_.error);
  EXPECT_EQ(BuiltVersion().Find(u"ProductName"), u"Other");
}

// A version that is no numbers is no reason to refuse the build: lint warns about it.
TEST_F(SetupKitBranding, AVersionThatIsNoNumbersGivesZeros) {
  WriteScript(
      "<S name=\"ProductName\" value=\"ZELO\"/><S name=\"ProductVersion\" value=\"5 beta\"/>");
  ASSERT_EQ(Build(), 0) << StringToUtf8(console_.error);
  const TVersionInfo info = BuiltVersion();
  EXPECT_EQ(info.FileVersion, TVersionNumbers{});
  EXPECT_EQ(info.Find(u"ProductVersion"), u"5 beta");

  console_ = CapturingConsole();
  EXPECT_EQ(RunSetupKit({u"lint", u"--setup", Native(u"setup"), u"--product", Native(u"product")},
                        console_),
            1);  // the pictures are missing
  EXPECT_NE(console_.out.find(u"warning: Install.xml: the setting \"ProductVersion\" (\"5 beta\") "
                              u"is not one to four numbers such as \"5.0.3.1\", so the setup "
                              u"program's version information gives 0.0.0.0\n"),
            String::npos)
      << StringToUtf8(console_.out);
}

// With --no-lint a script that cannot be read is still built, as the maker asked; the program
// keeps the version information it had, and build says so.
TEST_F(SetupKitBranding, AnUnreadableScriptLeavesTheVersionAsItWas) {
  folder_.WriteFile(u"setup\\Install.xml", "<a/><b/>");
  ASSERT_EQ(Build(), 0) << StringToUtf8(console_.error);
  EXPECT_EQ(console_.error,
            u"build: warning: Install.xml cannot be read, so the program's version information "
            u"is left as it was; lint says what is wrong with the script\n");
  EXPECT_EQ(BuiltVersion().Find(u"FileDescription"), u"Tiny program");
}

TEST_F(SetupKitBranding, IconReplacesTheProgramsIcon) {
  const std::vector<TTestIconImage> images = {{16}, {32}, {256, true}};
  folder_.WriteFile(u"product.ico", MakeTestIconFile(images));
  ASSERT_EQ(Build({u"--icon", Native(u"product.ico")}), 0) << StringToUtf8(console_.error);
  const std::vector<TPeResource> resources = Resources();
  std::vector<const TPeResource*> groups, icons;
  for (const TPeResource& resource : resources) {
    if (resource.Type.Number == PeResourceTypeIconGroup) groups.push_back(&resource);
    if (resource.Type.Number == PeResourceTypeIcon) icons.push_back(&resource);
  }
  ASSERT_EQ(groups.size(), 1u);
  ASSERT_EQ(icons.size(), images.size());
  EXPECT_EQ(groups[0]->Language, 0x409);
  EXPECT_EQ(std::vector<uint8_t>(groups[0]->Data.begin(), groups[0]->Data.end()),
            Bytes(MakeTestIconGroup(images, {1, 2, 3})));
  for (size_t i = 0; i < images.size(); ++i) {
    EXPECT_EQ(icons[i]->Name.Number, i + 1);
    EXPECT_EQ(std::vector<uint8_t>(icons[i]->Data.begin(), icons[i]->Data.end()),
              Bytes(TestIconImageBytes(images[i])));
  }
  EXPECT_EQ(CheckProgramLayout(built_), std::vector<String>{});
}

struct IconRefusalCase {
  const char* Title;
  std::function<void(TemporaryFolder&)> Arrange;
  const char16_t* Message;  // after the icon file's name
  int ExitCode;
};

class SetupKitBrandingRefuses : public SetupKitBranding,
                                public testing::WithParamInterface<IconRefusalCase> {};

TEST_P(SetupKitBrandingRefuses, IconsThatAreNoneAndWritesNothing) {
  GetParam().Arrange(folder_);
  EXPECT_EQ(Build({u"--icon", Native(u"bad.ico")}), GetParam().ExitCode);
  EXPECT_EQ(
      console_.error.rfind(u"setupkit: \"" + Native(u"bad.ico") + u"\" " + GetParam().Message, 0),
      0u)
      << StringToUtf8(console_.error);
  EXPECT_FALSE(std::filesystem::exists(folder_.NativePath(u"out.exe")));
  EXPECT_FALSE(std::filesystem::exists(folder_.NativePath(u"out.exe.partial")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetupKitBrandingRefuses,
    testing::Values(
        IconRefusalCase{"Png", [](TemporaryFolder& f) { f.WriteFile(u"bad.ico", "\x89PNG\r\n"); },
                        u"is not an icon file (its header is not that of an icon)\n", 1},
        IconRefusalCase{"ImageOutsideTheFile",
                        [](TemporaryFolder& f) {
                          std::string icon = MakeTestIconFile({{16}});
                          icon.resize(icon.size() - 10);
                          f.WriteFile(u"bad.ico", icon);
                        },
                        u"is damaged (the bytes of image 1 lie outside the file)\n", 1},
        IconRefusalCase{
            "Folder",
            [](TemporaryFolder& f) { std::filesystem::create_directory(f.NativePath(u"bad.ico")); },
            u"is a folder; give --icon an icon file\n", 2}),
    CaseTitle());

TEST_F(SetupKitBranding, MissingIconFileIsNamed) {
  EXPECT_EQ(Build({u"--icon", Native(u"missing.ico")}), 1);
  EXPECT_NE(console_.error.find(Native(u"missing.ico")), String::npos)
      << StringToUtf8(console_.error);
  EXPECT_FALSE(std::filesystem::exists(folder_.NativePath(u"out.exe")));
  EXPECT_EQ(Build({u"--icon"}), 2);
  EXPECT_EQ(console_.error, u"setupkit: option --icon needs a value\nTry 'setupkit help'.\n");
}

}  // namespace

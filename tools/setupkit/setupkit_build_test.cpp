// The maker's "build" and "lint" commands from the command line: a real program gets the two
// packages as resources, refusals leave nothing behind, and lint finds what would stop the
// installer.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "package/language_keys.h"
#include "signed_tiny_program_bytes.h"
#include "support/memory_stream.h"
#include "tests/support/case_title.h"
#include "tests/support/temporary_folder.h"
#include "tiny_program_bytes.h"
#include "tools/setupkit/capturing_console.h"
#include "tools/setupkit/native_path.h"
#include "tools/setupkit/pe_resources.h"
#include "tools/setupkit/setupkit.h"
#include "tools/setupkit/test_picture.h"

namespace {

std::string_view TinyProgramText() {
  return {reinterpret_cast<const char*>(TinyProgramBytes), sizeof TinyProgramBytes};
}

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

// A language file with every text the installer reads, each template with its placeholders,
// but for the sections and keys Left out.
std::string LanguageText(const std::string& name, const std::string& lang_id,
                         const std::string& family, const std::vector<std::string>& left_out = {}) {
  const auto kept = [&](const std::string& name_or_key) {
    return std::find(left_out.begin(), left_out.end(), name_or_key) == left_out.end();
  };
  std::string text =
      "[File]\r\nName=" + name + "\r\nLangId=" + lang_id + "\r\nFamily=" + family + "\r\n";
  std::string section = "File";
  for (const TLanguageKeyInfo& info : LanguageKeys) {
    const std::string this_section = StringToUtf8(info.Section), key = StringToUtf8(info.Key);
    if (this_section == "File" || !kept(this_section) || !kept(key)) continue;
    if (this_section != section) text += "[" + (section = this_section) + "]\r\n";
    text += key + "=" + name + " " + StringToUtf8(info.Placeholders) + "\r\n";
  }
  return text;
}

class SetupKitBuild : public testing::Test {
 protected:
  void SetUp() override {
    folder_.WriteFile(u"tiny.exe", TinyProgramText());
    WriteGoodSetup();
  }

  String Native(StringView relative = {}) const {
    return FromNativePath(folder_.NativePath(relative));
  }

  bool Exists(StringView relative) const {
    return std::filesystem::exists(folder_.NativePath(relative));
  }

  int Run(std::vector<String> arguments) {
    console_ = CapturingConsole();
    return RunSetupKit(arguments, console_);
  }

  // The packing itself, on folders too small for a real setup: lint, which build runs first,
  // is left to the tests about it.
  int Build(StringView program, StringView output) {
    return Run({u"build", u"--setup", Native(u"setup"), u"--product", Native(u"product"), u"-o",
                Native(output), u"--program", Native(program), u"--level", u"1", u"--no-lint"});
  }

  int Lint(std::vector<String> extra = {}) {
    std::vector<String> arguments = {u"lint", u"--setup", Native(u"setup"), u"--product",
                                     Native(u"product")};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return Run(arguments);
  }

  // Everything the installer asks for, in a sound state.
  void WriteGoodSetup() {
    folder_.WriteFile(u"setup\\Install.xml",
                      "<Install><setup><license><File name=\"License.rtf\" lang-family=\"EN\"/>"
                      "</license></setup><product><Components>"
                      "<File name=\"$DEST\\ZELO.exe\"/><File name=\"$DEST\\Docs\\readme.txt\"/>"
                      "</Components><Settings><S name=\"ProductName\" value=\"ZELO\"/>"
                      "</Settings></product></Install>");
    folder_.WriteFile(u"setup\\English.lng", LanguageText("English", "1033", "EN"));
    folder_.WriteFile(u"setup\\German.lng", LanguageText("Deutsch", "1031", "DE"));
    folder_.WriteFile(u"setup\\header.png", PngPictureHeader(640, 53));
    folder_.WriteFile(u"setup\\header_dark.png", PngPictureHeader(640, 53));
    folder_.WriteFile(u"setup\\wizard_light.png", PngPictureHeader(188, 435));
    folder_.WriteFile(u"setup\\wizard_dark.png", PngPictureHeader(188, 435));
    folder_.WriteFile(u"setup\\License.rtf", "{\\rtf1 Licence}");
    folder_.WriteFile(u"setup\\addons.ini", "L0=Add-on\r\nI0=addons.png\r\n");
    folder_.WriteFile(u"setup\\addons.png", PngPictureHeader(220, 90));
    folder_.WriteFile(u"product\\ZELO.exe", "MZ player");
    folder_.WriteFile(u"product\\readme.txt", "read me");
  }

  std::vector<uint8_t> ReadBytes(StringView relative) const {
    return Bytes(folder_.ReadFile(relative));
  }

  TemporaryFolder folder_;
  CapturingConsole console_;
};

TEST_F(SetupKitBuild, WritesTheProgramWithPackagesAsPackWritesThem) {
  ASSERT_EQ(Build(u"tiny.exe", u"setup.exe"), 0) << StringToUtf8(console_.error);
  EXPECT_EQ(console_.out.rfind(u"built " + Native(u"setup.exe") + u" (", 0), 0u)
      << StringToUtf8(console_.out);
  EXPECT_FALSE(Exists(u"setup.exe.partial"));

  ASSERT_EQ(Run({u"pack", Native(u"setup"), u"-o", Native(u"setup.pkg"), u"--level", u"1"}), 0);
  ASSERT_EQ(Run({u"pack", Native(u"product"), u"-o", Native(u"product.pkg"), u"--level", u"1"}), 0);
  const std::vector<uint8_t> program = ReadBytes(u"tiny.exe");
  const std::vector<uint8_t> built = ReadBytes(u"setup.exe");
  const std::vector<TDataResource> data = ReadDataResources(built);
  ASSERT_EQ(data.size(), 2u);
  EXPECT_EQ(data[0].Name, u"PRODUCT");
  EXPECT_EQ(data[0].Data, ReadBytes(u"product.pkg"));
  EXPECT_EQ(data[1].Name, u"SETUP");
  EXPECT_EQ(data[1].Data, ReadBytes(u"setup.pkg"));

  // The manifest stays as it was, the version information (which names the product, as
  // setupkit_branding_test.cpp shows) keeps its place and language, and the packages take the
  // language the program's own resources use.
  const std::vector<TPeResource> before = ReadResources(program), after = ReadResources(built);
  ASSERT_EQ(after.size(), before.size() + 2);
  for (const TPeResource& resource : after) {
    EXPECT_EQ(resource.Language, 0x409);
    if (resource.Type.Number == PeResourceTypeData) continue;
    if (resource.Type.Number == PeResourceTypeVersion) continue;
    const auto kept = std::find_if(before.begin(), before.end(), [&](const TPeResource& old) {
      return old.Type.Number == resource.Type.Number && old.Name.Number == resource.Name.Number;
    });
    ASSERT_NE(kept, before.end());
    EXPECT_TRUE(std::equal(kept->Data.begin(), kept->Data.end(), resource.Data.begin(),
                           resource.Data.end()));
  }
}

TEST_F(SetupKitBuild, ABuiltSetupBuildsAgainWithOnePackageOfEachName) {
  ASSERT_EQ(Build(u"tiny.exe", u"first.exe"), 0) << StringToUtf8(console_.error);
  folder_.WriteFile(u"product\\ZELO.exe", "MZ player, version 2");
  ASSERT_EQ(Build(u"first.exe", u"second.exe"), 0) << StringToUtf8(console_.error);
  ASSERT_EQ(Run({u"pack", Native(u"product"), u"-o", Native(u"product.pkg"), u"--level", u"1"}), 0);
  const std::vector<TDataResource> data = ReadDataResources(ReadBytes(u"second.exe"));
  ASSERT_EQ(data.size(), 2u);
  EXPECT_EQ(data[0].Name, u"PRODUCT");
  EXPECT_EQ(data[0].Data, ReadBytes(u"product.pkg"));
  EXPECT_EQ(ReadResources(ReadBytes(u"second.exe")).size(),
            ReadResources(ReadBytes(u"tiny.exe")).size() + 2);
  // The output may be the program itself: it is read before anything is written.
  ASSERT_EQ(Build(u"second.exe", u"second.exe"), 0) << StringToUtf8(console_.error);
  EXPECT_EQ(ReadDataResources(ReadBytes(u"second.exe")).size(), 2u);
}

struct RefusalCase {
  const char* Title;
  std::function<void(TemporaryFolder&)> Arrange;
  // "{setup}", "{product}" and "{program}" stand for the paths given to the tool.
  const char16_t* Message;
};

class SetupKitBuildRefuses : public SetupKitBuild,
                             public testing::WithParamInterface<RefusalCase> {};

TEST_P(SetupKitBuildRefuses, WithOneLineAndWritesNothing) {
  GetParam().Arrange(folder_);
  EXPECT_EQ(Build(u"program.exe", u"setup.exe"), 1);
  String expected = GetParam().Message;
  for (const auto& [mark, path] :
       {std::pair{u"{setup}", u"setup"}, std::pair{u"{product}", u"product"},
        std::pair{u"{program}", u"program.exe"}}) {
    const size_t at = expected.find(mark);
    if (at != String::npos) expected.replace(at, StringView(mark).size(), Native(path));
  }
  EXPECT_EQ(console_.error, u"setupkit: " + expected + u"\n");
  EXPECT_FALSE(Exists(u"setup.exe"));
  EXPECT_FALSE(Exists(u"setup.exe.partial"));
}

void UseTinyProgram(TemporaryFolder& folder, const std::function<void(std::string&)>& change) {
  std::string program(TinyProgramText());
  change(program);
  folder.WriteFile(u"program.exe", program);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetupKitBuildRefuses,
    testing::Values(
        RefusalCase{"NoScript",
                    [](TemporaryFolder& folder) {
                      UseTinyProgram(folder, [](std::string&) {});
                      std::filesystem::remove(folder.NativePath(u"setup\\Install.xml"));
                    },
                    u"neither \"{setup}\" nor \"{product}\" holds \"Install.xml\"; the installer "
                    u"cannot start without it"},
        RefusalCase{"NoEnglish",
                    [](TemporaryFolder& folder) {
                      UseTinyProgram(folder, [](std::string&) {});
                      std::filesystem::remove(folder.NativePath(u"setup\\English.lng"));
                    },
                    u"neither \"{setup}\" nor \"{product}\" holds \"English.lng\"; the installer "
                    u"cannot start without it"},
        RefusalCase{"NotAProgram",
                    [](TemporaryFolder& folder) { folder.WriteFile(u"program.exe", "text"); },
                    u"\"{program}\" is not a Windows program"},
        RefusalCase{"Program32Bit",
                    [](TemporaryFolder& folder) {
                      UseTinyProgram(folder, [](std::string& image) {
                        image[0x98] = 0x0B;
                        image[0x99] = 0x01;
                      });
                    },
                    u"\"{program}\" is a 32-bit program; the setup program is a 64-bit one"},
        RefusalCase{"SignedProgram",
                    [](TemporaryFolder& folder) {
                      // The certificate table's size, in the fifth data directory.
                      UseTinyProgram(folder,
                                     [](std::string& image) { image[0x98 + 112 + 36] = 8; });
                    },
                    u"\"{program}\" is signed; adding resources would invalidate its signature"},
        RefusalCase{"NoFolder",
                    [](TemporaryFolder& folder) {
                      UseTinyProgram(folder, [](std::string&) {});
                      std::filesystem::remove_all(folder.NativePath(u"product"));
                    },
                    u"\"{product}\" is not a folder"}),
    CaseTitle());

TEST_F(SetupKitBuild, EitherFolderMayHoldTheRequiredFiles) {
  std::filesystem::rename(folder_.NativePath(u"setup\\Install.xml"),
                          folder_.NativePath(u"product\\install.XML"));
  EXPECT_EQ(Build(u"tiny.exe", u"setup.exe"), 0) << StringToUtf8(console_.error);
}

TEST_F(SetupKitBuild, MissingProgramIsNamed) {
  EXPECT_EQ(Build(u"missing.exe", u"setup.exe"), 1);
  EXPECT_NE(console_.error.find(Native(u"missing.exe")), String::npos)
      << StringToUtf8(console_.error);
  EXPECT_FALSE(Exists(u"setup.exe"));
}

TEST_F(SetupKitBuild, LintFindsNothingInASoundSetup) {
  EXPECT_EQ(Lint(), 0) << StringToUtf8(console_.out);
  EXPECT_EQ(console_.out, u"lint: no findings\n");
}

// What a careless maker gets wrong, all at once.
void BreakSetup(TemporaryFolder& folder) {
  folder.WriteFile(u"setup\\Install.xml",
                   "<Install>\n"
                   "<setup><license><File name=\"License_DE.rtf\" lang-family=\"DE\"/>"
                   "</license></setup>\n"
                   "<product><Components>\n"
                   "<File name=\"$DEST\\ZELO.exe\"/><File name=\"$DEST\\missing.dll\"/>\n"
                   "</Components><Settings><S name=\"Publisher\" value=\"V\"/></Settings>\n"
                   "</product></Install>");
  folder.WriteFile(u"setup\\German.lng",
                   LanguageText("Deutsch", "1031", "DE", {"E3", "PageSetup"}));
  std::filesystem::remove(folder.NativePath(u"setup\\header_dark.png"));
  folder.WriteFile(u"setup\\wizard_light.png", "GIF89a");
  folder.WriteFile(u"setup\\addons.ini", "I0=missing.png\r\n");
}

constexpr char16_t BrokenSetupReport[] =
    u"error: Install.xml:2: the licence needs \"License_DE.rtf\", which is in neither package; "
    u"add it to the product folder or correct the name\n"
    u"error: Install.xml:4: the component \"$DEST\\missing.dll\" needs \"missing.dll\", which is "
    u"in neither package; add it to the product folder or correct the name\n"
    u"error: Install.xml:3: no \"ProductName\" setting; the installer refuses to start without "
    u"one, so add <Setting name=\"ProductName\" value=\"...\"/> to <Settings>\n"
    u"warning: readme.txt: no component installs it, so it is packed for nothing; install it "
    u"with a <File> in <Components> or leave it out of the product folder\n"
    u"warning: Install.xml: no licence for \"EN\"; languages without a licence of their own show "
    u"an empty licence page\n"
    u"error: \"header_dark.png\" is in neither package; the wizard cannot start without it\n"
    u"error: wizard_light.png: not a PNG picture: the wizard cannot draw it and stops before it "
    u"shows; save it as PNG\n"
    u"error: addons.ini: picture \"missing.png\" (I0) is in neither package; the add-ons page "
    u"cannot be shown\n"
    u"warning: German.lng: [Common] E3 is missing; falls back to English\n"
    u"warning: German.lng: section [PageSetup] is missing; all of it falls back to English\n"
    u"lint: 6 errors, 4 warnings\n";

TEST_F(SetupKitBuild, LintReportsEveryFindingOnItsOwnLine) {
  BreakSetup(folder_);
  EXPECT_EQ(Lint(), 1);
  EXPECT_EQ(console_.out, BrokenSetupReport);
}

constexpr char16_t NotSignedWarning[] =
    u"warning: the program is not signed; Windows names no publisher for it\n";

TEST_F(SetupKitBuild, LintReadsABuiltSetupAlike) {
  BreakSetup(folder_);
  ASSERT_EQ(Build(u"tiny.exe", u"setup.exe"), 0) << StringToUtf8(console_.error);
  EXPECT_EQ(Run({u"lint", Native(u"setup.exe")}), 1);
  // A program just built is not signed yet: one warning more, after the packages' findings.
  const String report(BrokenSetupReport);
  EXPECT_EQ(console_.out, report.substr(0, report.rfind(u"lint: ")) + NotSignedWarning +
                              u"lint: 6 errors, 5 warnings\n");

  EXPECT_EQ(Run({u"lint", Native(u"tiny.exe")}), 1);
  EXPECT_EQ(console_.error,
            u"setupkit: \"" + Native(u"tiny.exe") + u"\" holds no \"SETUP\" package\n");
}

// A signature whose digest is not the file's, as when a signed setup is changed afterwards: the
// signed tiny program's certificate table appended to a setup built from the unsigned one.
void AppendForeignSignature(std::vector<uint8_t>& image) {
  const std::vector<uint8_t> donor(std::begin(SignedTinyProgramBytes),
                                   std::end(SignedTinyProgramBytes));
  const auto read32 = [](const std::vector<uint8_t>& bytes, size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
           static_cast<uint32_t>(bytes[offset + 3]) << 24;
  };
  // The certificate table's entry among the data directories of a PE32+ optional header.
  const auto entry = [&](const std::vector<uint8_t>& bytes) {
    return read32(bytes, 0x3C) + 24 + 112 + 8 * 4;
  };
  const uint32_t donor_table = read32(donor, entry(donor));
  image.resize((image.size() + 7) / 8 * 8);
  const auto table = static_cast<uint32_t>(image.size());
  const auto size = static_cast<uint32_t>(donor.size() - donor_table);
  image.insert(image.end(), donor.begin() + donor_table, donor.end());
  for (int i = 0; i < 4; ++i) {
    image[entry(image) + i] = static_cast<uint8_t>(table >> (8 * i));
    image[entry(image) + 4 + i] = static_cast<uint8_t>(size >> (8 * i));
  }
}

TEST_F(SetupKitBuild, LintSaysWhetherTheProgramIsSignedAsAWarning) {
  ASSERT_EQ(Build(u"tiny.exe", u"setup.exe"), 0) << StringToUtf8(console_.error);
  EXPECT_EQ(Run({u"lint", Native(u"setup.exe")}), 0);
  EXPECT_EQ(console_.out, String(NotSignedWarning) + u"lint: 0 errors, 1 warning\n");
  EXPECT_EQ(Run({u"lint", u"--strict", Native(u"setup.exe")}), 1);

  TMemoryStream setup;
  setup.LoadFromFile(Native(u"setup.exe"));
  std::vector<uint8_t> image(setup.Bytes().begin(), setup.Bytes().end());
  AppendForeignSignature(image);
  folder_.WriteFile(u"signed.exe",
                    std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
  EXPECT_EQ(Run({u"lint", Native(u"signed.exe")}), 0);
  EXPECT_EQ(console_.out,
            u"warning: the program is signed, but the signature no longer covers the file (the "
            u"file changed after it was signed); sign it again\nlint: 0 errors, 1 warning\n");
}

TEST_F(SetupKitBuild, LintWarningsFailOnlyWhenStrict) {
  folder_.WriteFile(u"setup\\German.lng", LanguageText("Deutsch", "1031", "DE", {"PageSetup"}));
  EXPECT_EQ(Lint(), 0);
  EXPECT_EQ(console_.out,
            u"warning: German.lng: section [PageSetup] is missing; all of it falls back to "
            u"English\nlint: 0 errors, 1 warning\n");
  EXPECT_EQ(Lint({u"--strict"}), 1);
}

TEST_F(SetupKitBuild, LintWithoutScriptOrEnglishSaysSoAndChecksTheRest) {
  std::filesystem::remove(folder_.NativePath(u"setup\\Install.xml"));
  std::filesystem::remove(folder_.NativePath(u"setup\\English.lng"));
  std::filesystem::remove(folder_.NativePath(u"setup\\wizard_light.png"));
  EXPECT_EQ(Lint(), 1);
  EXPECT_EQ(console_.out,
            u"error: \"Install.xml\" is in neither package; the installer cannot start without "
            u"it\n"
            u"error: \"English.lng\" is in neither package; the installer cannot start without "
            u"it\n"
            u"error: \"wizard_light.png\" is in neither package; the wizard cannot start without "
            u"it\n"
            u"lint: 3 errors, 0 warnings\n");
}

TEST_F(SetupKitBuild, LintReportsTheScriptLoadersError) {
  folder_.WriteFile(u"setup\\Install.xml", "<a/><b/>");
  EXPECT_EQ(Lint(), 1);
  EXPECT_EQ(console_.out,
            u"error: Install.xml:1: column 5: a second root element; everything belongs inside "
            u"the first; the installer refuses a script that is not well-formed XML\n"
            u"lint: 1 error, 0 warnings\n");
}

// A setup that lint finds errors in is not built; --no-lint builds it all the same.
TEST_F(SetupKitBuild, BuildRunsLintFirst) {
  BreakSetup(folder_);
  const std::vector<String> build = {
      u"build", u"--setup",           Native(u"setup"), u"--product",       Native(u"product"),
      u"-o",    Native(u"setup.exe"), u"--program",     Native(u"tiny.exe")};
  EXPECT_EQ(Run(build), 1);
  EXPECT_NE(console_.out.find(u"error: Install.xml:3: no \"ProductName\""), String::npos);
  EXPECT_EQ(console_.error,
            u"build: not built, lint found errors; correct them, or build anyway with --no-lint\n");
  EXPECT_FALSE(Exists(u"setup.exe"));
  std::vector<String> anyway = build;
  anyway.push_back(u"--no-lint");
  EXPECT_EQ(Run(anyway), 0) << StringToUtf8(console_.error);
  EXPECT_TRUE(Exists(u"setup.exe"));
}

}  // namespace

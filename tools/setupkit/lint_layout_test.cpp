// "lint <setup.exe>" checks where the program's headers point: a built setup damaged afterwards
// (by hand, by a careless tool) gets one error per fault, naming the header field.
#include <gtest/gtest.h>

#include <functional>

#include "tests/support/case_title.h"
#include "tests/support/temporary_folder.h"
#include "tiny_program_bytes.h"
#include "tools/setupkit/capturing_console.h"
#include "tools/setupkit/native_path.h"
#include "tools/setupkit/setupkit.h"
#include "tools/setupkit/test_program_image.h"

namespace {

class LintLayout : public testing::Test {
 protected:
  void SetUp() override {
    folder_.WriteFile(u"tiny.exe", std::string_view(reinterpret_cast<const char*>(TinyProgramBytes),
                                                    sizeof TinyProgramBytes));
    folder_.WriteFile(u"setup\\Install.xml",
                      "<Install><product><Components><File name=\"$DEST\\ZELO.exe\"/></Components>"
                      "<Settings><S name=\"ProductName\" value=\"ZELO\"/></Settings></product>"
                      "</Install>");
    folder_.WriteFile(u"setup\\English.lng", "[File]\r\nName=English\r\n");
    for (const char16_t* picture :
         {u"header.png", u"header_dark.png", u"wizard_light.png", u"wizard_dark.png"}) {
      folder_.WriteFile(u"setup\\" + String(picture), "\x89PNG\r\n\x1A\n");
    }
    folder_.WriteFile(u"product\\ZELO.exe", "MZ player");
    ASSERT_EQ(Run({u"build", u"--setup", Native(u"setup"), u"--product", Native(u"product"), u"-o",
                   Native(u"setup.exe"), u"--program", Native(u"tiny.exe"), u"--no-lint"}),
              0)
        << StringToUtf8(console_.error);
    const std::string text = folder_.ReadFile(u"setup.exe");
    built_.assign(text.begin(), text.end());
  }

  String Native(StringView relative = {}) const {
    return FromNativePath(folder_.NativePath(relative));
  }

  int Run(std::vector<String> arguments) {
    console_ = CapturingConsole();
    return RunSetupKit(arguments, console_);
  }

  int Lint(const std::vector<uint8_t>& image) {
    folder_.WriteFile(u"damaged.exe",
                      std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
    return Run({u"lint", Native(u"damaged.exe")});
  }

  TemporaryFolder folder_;
  CapturingConsole console_;
  std::vector<uint8_t> built_;
};

// The program's lines apart from those about its packages and its signature.
std::vector<String> LayoutLines(const String& report) {
  std::vector<String> lines;
  for (size_t at = 0; at < report.size();) {
    const size_t end = report.find(u'\n', at);
    const String line = report.substr(at, end - at);
    if (line.rfind(u"error: the program is damaged: ", 0) == 0) lines.push_back(line);
    at = end == String::npos ? report.size() : end + 1;
  }
  return lines;
}

TEST_F(LintLayout, FindsNothingInASoundBuiltSetup) {
  Lint(built_);
  EXPECT_EQ(LayoutLines(console_.out), std::vector<String>{}) << StringToUtf8(console_.out);
}

struct DamageCase {
  const char* Title;
  // Given the image and the offsets of its COFF header and its first section header.
  std::function<void(std::vector<uint8_t>&, size_t coff, size_t sections)> Damage;
  std::vector<const char16_t*> Lines;  // the start of each
};

class LintLayoutFinds : public LintLayout, public testing::WithParamInterface<DamageCase> {};

TEST_P(LintLayoutFinds, EachFaultAsAnErrorNamingTheField) {
  std::vector<uint8_t> image = built_;
  const size_t coff = ReadTest32(image, 0x3C) + 4;
  const size_t sections = coff + 20 + ReadTest16(image, coff + 16);
  GetParam().Damage(image, coff, sections);
  EXPECT_EQ(Lint(image), 1);
  const std::vector<String> lines = LayoutLines(console_.out);
  ASSERT_EQ(lines.size(), GetParam().Lines.size()) << StringToUtf8(console_.out);
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].rfind(String(u"error: the program is damaged: ") + GetParam().Lines[i], 0),
              0u)
        << StringToUtf8(lines[i]);
  }
}

// The tiny program's sections: .text, .rdata, .pdata, .xdata, .oldrsrc, .reloc, then the new
// .rsrc that holds the packages.
INSTANTIATE_TEST_SUITE_P(
    Cases, LintLayoutFinds,
    testing::Values(
        DamageCase{"SectionPastTheEnd",
                   [](std::vector<uint8_t>& image, size_t, size_t sections) {
                     WriteTest32(image, sections + 20, 0x7FFFFF00);
                   },
                   {u"its section data lies outside the file (section .text: PointerToRawData "
                    u"0x7FFFFF00"}},
        DamageCase{"SymbolTablePastTheEnd",
                   [](std::vector<uint8_t>& image, size_t coff, size_t) {
                     WriteTest32(image, coff + 8, static_cast<uint32_t>(image.size() + 0x100));
                   },
                   {u"its symbol table lies outside the file (PointerToSymbolTable 0x"}},
        DamageCase{"SectionsShareBytes",
                   [](std::vector<uint8_t>& image, size_t, size_t sections) {
                     WriteTest32(image, sections + 40 + 20, ReadTest32(image, sections + 20));
                   },
                   {u"the bytes of two sections overlap in the file (section .text: "}},
        // Headers claimed beyond the file: a writer would place a new section inside them.
        DamageCase{"HeadersPastTheEnd",
                   [](std::vector<uint8_t>& image, size_t coff, size_t) {
                     WriteTest32(image, coff + 20 + 60, static_cast<uint32_t>(image.size() + 1));
                   },
                   {u"its headers lie outside the file (SizeOfHeaders 0x"}}),
    CaseTitle());

}  // namespace

// The strict reading of a script: each slip a maker made while writing one from scratch, found
// with its line and a sentence that says what to do.
#include "tools/setupkit/script_lint.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/case_title.h"

namespace {

// Files the packages hold in these cases.
bool Holds(StringView name) {
  for (const StringView file : {u"app.exe", u"readme.txt", u"License.rtf", u"Install.xml"}) {
    if (name == file) return true;
  }
  return false;
}

// A script that is right, with Product spliced into its <product> element (line 3 on).
std::string Script(const std::string& product) {
  return "<Install>\n"
         "  <setup><license><File name=\"License.rtf\"/></license></setup>\n"
         "  <product>\n" +
         product +
         "    <Settings><Setting name=\"ProductName\" value=\"Demo\"/></Settings>\n"
         "  </product>\n"
         "</Install>\n";
}

std::vector<TLintFinding> Lint(const std::string& script,
                               std::vector<String> product_files = {u"app.exe"}) {
  TScriptLintInput input;
  input.Script = script;
  input.Holds = Holds;
  input.ProductFiles = std::move(product_files);
  return LintScript(input);
}

TEST(ScriptLint, ARightScriptHasNoFindings) {
  const auto findings = Lint(
      Script("    <Components>\n"
             "      <File name=\"$DEST\\app.exe\"/>\n"
             "      <File name=\"$DEST\\Docs\\readme.txt\" lang-family=\"EN\">readme.txt</File>\n"
             "      <file name=\"$DEST\\Docs\\readme.txt\" lang-family=\"DE\">readme.txt</file>\n"
             "    </Components>\n"
             "    <Actions><File name=\"$DEST\\app.exe\">cbRun</File></Actions>\n"
             "    <Shortcuts><File name=\"$DESKTOP\\$NAME.lnk\">$DEST\\app.exe</File></Shortcuts>\n"
             "    <Settings><Setting name=\"DisplayIcon\" value=\"$DEST\\app.exe\"/></Settings>\n"),
      {u"app.exe", u"readme.txt", u"English.lng", u"header.png"});
  for (const TLintFinding& finding : findings) ADD_FAILURE() << StringToUtf8(finding.Message);
}

struct FindingCase {
  const char* Title;
  std::string Script;
  TLintSeverity Severity;
  int Line;
  std::string Message;
};

class ScriptLintFinds : public testing::TestWithParam<FindingCase> {};

TEST_P(ScriptLintFinds, TheSlipWithItsLine) {
  const FindingCase& slip = GetParam();
  const auto findings = Lint(slip.Script);
  ASSERT_EQ(findings.size(), 1u) << [&] {
    std::string all;
    for (const auto& finding : findings) all += StringToUtf8(finding.Message) + "\n";
    return all;
  }();
  EXPECT_EQ(findings[0].Severity, slip.Severity);
  EXPECT_EQ(findings[0].Line, slip.Line);
  EXPECT_EQ(StringToUtf8(findings[0].Message), slip.Message);
}

const std::string AppComponent = "    <Components><File name=\"$DEST\\app.exe\"/></Components>\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptLintFinds,
    testing::Values(
        FindingCase{"NotWellFormed", "<Install>\n  <Components>\n  </Component>",
                    TLintSeverity::Error, 3,
                    "column 3: </Component> closes <Components> (opened at line 2, column 3); "
                    "expected </Components>; the installer refuses a script that is not "
                    "well-formed XML"},
        FindingCase{"VariableInTheWrongCase",
                    Script("    <Components><File name=\"$dest\\app.exe\"/></Components>\n"),
                    TLintSeverity::Error, 4,
                    "\"$dest\" is not replaced: variables are replaced only as written, so write "
                    "$DEST"},
        FindingCase{"VariableRunIntoAName",
                    Script("    <Components><File name=\"$DESTDIR\\app.exe\"/></Components>\n"),
                    TLintSeverity::Error, 4,
                    "\"$DESTDIR\" is no variable: the installer replaces $DEST and keeps \"DIR\" "
                    "after it; write $DEST\\DIR for a folder in it"},
        FindingCase{"UnknownVariable",
                    Script(AppComponent +
                           "    <Shortcuts><File name=\"$DESKTOPS\\a.lnk\">$DEST\\app.exe</File>"
                           "</Shortcuts>\n"),
                    TLintSeverity::Error, 5,
                    "\"$DESKTOPS\" is no variable: the installer replaces $DESKTOP and keeps \"S\" "
                    "after it; write $DESKTOP\\S for a folder in it"},
        FindingCase{"MisspelledSetting",
                    Script(AppComponent +
                           "    <Settings><Setting name=\"Publsher\" value=\"Me\"/></Settings>\n"),
                    TLintSeverity::Error, 5,
                    "the installer reads no setting \"Publsher\"; did you mean \"Publisher\"?"},
        FindingCase{"SettingWithSomethingAdded",
                    Script(AppComponent +
                           "    <Settings><Setting name=\"ProductVersionNumber\" value=\"1\"/>"
                           "</Settings>\n"),
                    TLintSeverity::Error, 5,
                    "the installer reads no setting \"ProductVersionNumber\"; did you mean "
                    "\"ProductVersion\"?"},
        FindingCase{"MisspelledGroup",
                    Script(AppComponent +
                           "    <Shortcut><File name=\"$DESKTOP\\a.lnk\">$DEST\\app.exe</File>"
                           "</Shortcut>\n"),
                    TLintSeverity::Error, 5,
                    "<Shortcut> is not read inside <product>; did you mean <Shortcuts>?"},
        FindingCase{"FileWithoutName",
                    Script(AppComponent + "    <Components><File/></Components>\n"),
                    TLintSeverity::Error, 5,
                    "this <File> of <Components> has no \"name\"; give its destination, such as "
                    "$DEST\\file.txt"},
        FindingCase{"UnknownAttribute",
                    Script("    <Components><File name=\"$DEST\\app.exe\" lang=\"EN\"/>"
                           "</Components>\n"),
                    TLintSeverity::Error, 4,
                    "the attribute \"lang\" of <File> is not read; did you mean \"lang-family\"?"},
        FindingCase{
            "SourceInNoPackage",
            Script(AppComponent + "    <Components><File name=\"$DEST\\b.dll\"/></Components>\n"),
            TLintSeverity::Error, 5,
            "the component \"$DEST\\b.dll\" needs \"b.dll\", which is in neither package; "
            "add it to the product folder or correct the name"},
        FindingCase{
            "InstalledTwice",
            Script(AppComponent + "    <Components><File name=\"$DEST\\APP.EXE\">app.exe</File>"
                                  "</Components>\n"),
            TLintSeverity::Error, 5,
            "\"$DEST\\APP.EXE\" is installed twice (also on line 4); one would overwrite "
            "the other, so keep one"},
        FindingCase{"LeavesItsFolder",
                    Script("    <Components><File name=\"$DEST\\..\\app.exe\"/></Components>\n"),
                    TLintSeverity::Error, 4,
                    "\"$DEST\\..\\app.exe\" leaves its folder with \"..\"; name the folder it goes "
                    "to from its variable down"},
        FindingCase{"Relative",
                    Script("    <Components><File name=\"bin\\app.exe\"/></Components>\n"),
                    TLintSeverity::Error, 4,
                    "\"bin\\app.exe\" is not a full path once its variables are replaced, so it "
                    "would land relative to whatever folder is current; start it with $DEST\\"},
        FindingCase{"FixedPlace",
                    Script("    <Components><File name=\"C:\\Tools\\app.exe\"/></Components>\n"),
                    TLintSeverity::Warning, 4,
                    "\"C:\\Tools\\app.exe\" is a fixed place outside the installation folder; "
                    "start it with $DEST\\ to install into the folder the user chooses"},
        FindingCase{"NoProductName",
                    "<Install>\n  <product>\n    <Components><File name=\"$DEST\\app.exe\"/>"
                    "</Components>\n  </product>\n</Install>",
                    TLintSeverity::Error, 2,
                    "no \"ProductName\" setting; the installer refuses to start without one, so "
                    "add <Setting name=\"ProductName\" value=\"...\"/> to <Settings>"},
        FindingCase{"LicenceInNoPackage",
                    "<Install><setup><license><File name=\"Lizenz.rtf\"/></license></setup>\n"
                    "<product><Components><File name=\"$DEST\\app.exe\"/></Components>"
                    "<Settings><Setting name=\"ProductName\" value=\"D\"/></Settings></product>"
                    "</Install>",
                    TLintSeverity::Error, 1,
                    "the licence needs \"Lizenz.rtf\", which is in neither package; add it to the "
                    "product folder or correct the name"}),
    CaseTitle());

TEST(ScriptLint, AMisspelledProductMeansNothingIsInstalled) {
  const auto findings = Lint("<Install>\n  <prodcut/>\n</Install>");
  ASSERT_EQ(findings.size(), 2u);
  EXPECT_EQ(findings[0].Line, 2);
  EXPECT_EQ(findings[0].Message,
            u"<prodcut> is not read inside the script; did you mean <product>?");
  EXPECT_EQ(findings[1].Line, 1);
  EXPECT_EQ(findings[1].Message,
            u"there is no <product> element, so nothing would be installed; "
            u"put <Settings> and <Components> inside <product>");
}

TEST(ScriptLint, AProductFileNothingInstallsIsAWarning) {
  const auto findings = Lint(Script(AppComponent), {u"app.exe", u"forgotten.dll", u"German.lng"});
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].Severity, TLintSeverity::Warning);
  EXPECT_EQ(findings[0].File, u"forgotten.dll");
}

TEST(ScriptLint, NearMissesOnlyAreSuggested) {
  const std::vector<String> known = {u"Components", u"Actions", u"Shortcuts", u"Settings"};
  EXPECT_EQ(NearestName(u"Shortcut", known), u"Shortcuts");
  EXPECT_EQ(NearestName(u"Compnents", known), u"Components");
  EXPECT_EQ(NearestName(u"Setitngs", known), u"Settings");
  EXPECT_EQ(NearestName(u"Files", known), u"");
}

}  // namespace

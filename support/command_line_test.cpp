// The command-line syntax: switches, values, quotes and free text.
#include "support/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>
#include "tests/support/case_title.h"

namespace {

using Commands = std::vector<std::pair<String, std::vector<String>>>;

Commands ParseToPairs(StringView text) {
  Commands result;
  for (const auto& command : TVYNCommandLineProcessor::Parse(text)) {
    result.emplace_back(command->Name, command->Values);
  }
  return result;
}

struct ParseCase {
  const char* Title;
  String Text;
  Commands Expected;
};

class CommandLineParse : public testing::TestWithParam<ParseCase> {};

TEST_P(CommandLineParse, YieldsTheCommandsInOrder) {
  EXPECT_EQ(ParseToPairs(GetParam().Text), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineParse,
    testing::Values(
        ParseCase{"TwoSwitches", u"/AUTO /SILENT", {{u"AUTO", {}}, {u"SILENT", {}}}},
        ParseCase{"QuotedPathWithTrailingBackslash",
                  u"/AUTO=\"C:\\Program Files\\ZELO\\\" /RUN",
                  {{u"AUTO", {u"C:\\Program Files\\ZELO\\"}}, {u"RUN", {}}}},
        ParseCase{"SeveralValues", u"/X=a;b;c", {{u"X", {u"a", u"b", u"c"}}}},
        ParseCase{"BlankEndsTheValue", u"/X=a b", {{u"X", {u"a"}}, {u"", {u"b"}}}},
        ParseCase{"ValueAfterBlank", u"/PATH C:\\dir", {{u"PATH", {u"C:\\dir"}}}},
        ParseCase{"DashPrefixes", u"-x -y", {{u"x", {}}, {u"y", {}}}},
        ParseCase{"DashAfterLeadingFreeText", u"foo -x", {{u"", {u"foo -x"}}}},
        ParseCase{"SlashAfterFreeText", u"foo /x", {{u"", {u"foo"}}, {u"x", {}}}},
        ParseCase{
            "DrivesStartNewValues", u"C:\\a.txt D:\\b.txt", {{u"", {u"C:\\a.txt", u"D:\\b.txt"}}}},
        ParseCase{"FreeWordsStayTogether", u"hello world", {{u"", {u"hello world"}}}},
        // The free text before a quoted value is a value of its own, and comes first.
        ParseCase{"FreeTextThenQuotedValue", u"C:\\a \"D:\\b c\"", {{u"", {u"C:\\a", u"D:\\b c"}}}},
        ParseCase{"EmptyQuotedValueIsDropped", u"/X=\"\"", {{u"X", {}}}},
        ParseCase{"DelimitersInsideAValue", u"/X=a-b/c", {{u"X", {u"a-b/c"}}}},
        ParseCase{"LoneQuoteInAValueIsDropped", u"/X=\"abc", {{u"X", {u"abc"}}}},
        ParseCase{"QuotesKeepEverythingLiteral", u"/X=\"a;b /c -d=e\"", {{u"X", {u"a;b /c -d=e"}}}},
        ParseCase{"NetworkShareStartsANewValue",
                  u"a \\\\server\\share\\x",
                  {{u"", {u"a", u"\\\\server\\share\\x"}}}},
        ParseCase{"TabStaysInsideAWord", u"/X=a\tb", {{u"X", {u"a\tb"}}}},
        ParseCase{"LineBreakEndsFreeText", u"a\nb", {{u"", {u"a", u"b"}}}},
        ParseCase{"ValuesAreTrimmed", u"/X=\"  padded  \"", {{u"X", {u"padded"}}}},
        ParseCase{"EmptyText", u"", {}},
        ParseCase{"OnlyDelimiters", u"/ - = ;", {{u"", {u"/ - = ;"}}}}),
    CaseTitle());

TEST(GetSwitch, JoinsValuesWithSemicolons) {
  String value = u"stale";
  ASSERT_TRUE(GetSwitch(u"/X=a;b;c", u"X", value));
  EXPECT_EQ(value, u"a;b;c");
}

TEST(GetSwitch, MatchesNamesIgnoringCaseButNotLength) {
  String value;
  EXPECT_TRUE(GetSwitch(u"/auto=C:\\x", u"AUTO", value));
  EXPECT_EQ(value, u"C:\\x");
  EXPECT_FALSE(GetSwitch(u"/AUTOMATIC", u"AUTO", value));
  EXPECT_TRUE(HasSwitch(u"/Silent", u"SILENT"));
}

TEST(GetSwitch, EmptiesTheValueWhenTheSwitchIsMissing) {
  String value = u"stale";
  EXPECT_FALSE(GetSwitch(u"/RUN", u"AUTO", value));
  EXPECT_EQ(value, u"");
}

TEST(GetSwitch, TheFirstOfTwoSwitchesWins) {
  String value;
  ASSERT_TRUE(GetSwitch(u"/X=first /X=second", u"X", value));
  EXPECT_EQ(value, u"first");
}

TEST(GetSwitch, SwitchWithoutValueIsPresentAndEmpty) {
  String value = u"stale";
  ASSERT_TRUE(GetSwitch(u"/SILENT /AUTO", u"SILENT", value));
  EXPECT_EQ(value, u"");
}

struct ArgsCase {
  const char* Title;
  String CommandLine;
  String Expected;
};

class CommandLineArgs : public testing::TestWithParam<ArgsCase> {};

TEST_P(CommandLineArgs, DropsTheProgramPath) {
  EXPECT_EQ(GetCommandLineArgs(GetParam().CommandLine), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineArgs,
    testing::Values(ArgsCase{"DoubleQuotedPath", u"\"C:\\Program Files\\setup.exe\" /AUTO /SILENT",
                             u"/AUTO /SILENT"},
                    ArgsCase{"ApostropheQuotedPath", u"'C:\\My Files\\setup.exe' /RUN", u"/RUN"},
                    ArgsCase{"UnquotedPathEndsAtBlank", u"C:\\setup.exe /X=\"a b\"", u"/X=\"a b\""},
                    ArgsCase{"SurroundingBlanksAreTrimmed", u"  setup.exe   /AUTO  \t", u"/AUTO"},
                    ArgsCase{"OnlyTheProgram", u"setup.exe", u""}, ArgsCase{"Nothing", u"   ", u""},
                    ArgsCase{"NoBlankAfterQuotedPath", u"\"setup.exe\"/AUTO", u"/AUTO"}),
    CaseTitle());

}  // namespace

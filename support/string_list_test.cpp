// String lists: line cutting, name=value lookups, sorting, byte order marks and change events.
#include "support/string_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/memory_stream.h"
#include "tests/support/case_title.h"

namespace {

std::vector<String> ItemsOf(const TVYNStringList& list) {
  std::vector<String> items;
  for (int i = 0; i < list.Count(); ++i) items.push_back(list.Items(i));
  return items;
}

TMemoryStream StreamOf(std::string_view bytes) {
  return TMemoryStream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

struct LineCase {
  const char* Title;
  String Text;
  std::vector<String> Lines;
};

class LineCutting : public testing::TestWithParam<LineCase> {};

TEST_P(LineCutting, SplitsTextIntoItems) {
  TVYNStringList list;
  list.SetText(GetParam().Text);
  EXPECT_EQ(ItemsOf(list), GetParam().Lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineCutting,
    testing::Values(LineCase{"CarriageReturnLineFeed", u"a\r\nb", {u"a", u"b"}},
                    LineCase{"CarriageReturn", u"a\rb", {u"a", u"b"}},
                    LineCase{"LineFeed", u"a\nb", {u"a", u"b"}},
                    LineCase{"LineSeparator", u"a\u2028b", {u"a", u"b"}},
                    LineCase{"LineSeparatorBeforeCrLfIsOneBreak", u"a\u2028\r\nb", {u"a", u"b"}},
                    LineCase{"LineSeparatorBeforeLfIsOneBreak", u"a\u2028\nb", {u"a", u"b"}},
                    LineCase{"LineSeparatorBeforeCrIsOneBreak", u"a\u2028\rb", {u"a", u"b"}},
                    LineCase{"CrBeforeLineSeparatorIsTwoBreaks", u"a\r\u2028b", {u"a", u"", u"b"}},
                    LineCase{"LfCrIsTwoBreaks", u"a\n\rb", {u"a", u"", u"b"}},
                    LineCase{"TwoLineSeparators", u"a\u2028\u2028b", {u"a", u"", u"b"}},
                    LineCase{"BreakAtTheEndAddsNoLine", u"a\r\n", {u"a"}},
                    LineCase{"TextAfterTheLastBreakIsALine", u"a\r\nb\r\nc", {u"a", u"b", u"c"}},
                    LineCase{"LoneBreakIsOneEmptyLine", u"\r\n", {u""}},
                    LineCase{"EmptyText", u"", {}}),
    CaseTitle());

TEST(StringListNames, NameIsTheTextBeforeTheFirstSeparator) {
  TVYNStringList list;
  list.SetText(u"key=value=more\r\n=empty name\r\nno separator\r\n");
  EXPECT_EQ(list.Names(0), u"key");
  EXPECT_EQ(list.ValueFromIndex(0), u"value=more");
  EXPECT_EQ(list.Names(1), u"");
  EXPECT_EQ(list.ValueFromIndex(1), u"empty name");
  // A line without a separator has an empty name and the whole line as its value.
  EXPECT_EQ(list.Names(2), u"");
  EXPECT_EQ(list.ValueFromIndex(2), u"no separator");
  EXPECT_EQ(list.Items(3), u"");
  EXPECT_EQ(list.Items(-1), u"");
}

TEST(StringListNames, IndexOfNameFindsTheLastMatchingItem) {
  TVYNStringList list;
  list.SetText(u"Key=1\r\nother=2\r\nKEY=3\r\nKeyboard=4\r\n");
  EXPECT_EQ(list.IndexOfName(u"key"), 2);
  EXPECT_EQ(list.GetValue(u"key"), u"3");
  EXPECT_EQ(list.IndexOfName(u"Ke"), -1);
  EXPECT_EQ(list.GetValue(u"missing"), u"");
  list.SetIgnoreCase(false);
  EXPECT_EQ(list.IndexOfName(u"Key"), 0);
  EXPECT_EQ(list.IndexOf(u"key=1"), -1);
  list.SetIgnoreCase(true);
  EXPECT_EQ(list.IndexOf(u"key=1"), 0);
}

TEST(StringListNames, SetValueReplacesAddsAndDeletes) {
  TVYNStringList list;
  list.SetText(u"a=1\r\nb=2\r\n");
  list.SetValue(u"A", u"9");
  list.SetValue(u"c", u"3");
  list.SetValue(u"b", u"");
  EXPECT_EQ(ItemsOf(list), (std::vector<String>{u"A=9", u"c=3"}));
}

TEST(StringListNames, AnotherSeparatorSplitsNames) {
  TVYNStringList list;
  list.SetNameValueSeparator(u':');
  list.Add(u"a=b:c");
  EXPECT_EQ(list.Names(0), u"a=b");
  EXPECT_EQ(list.GetValue(u"a=b"), u"c");
}

TEST(StringListEditing, IndexesOutsideTheListRaise) {
  TVYNStringList list;
  list.Add(u"a");
  EXPECT_THROW(list.Put(1, u"x"), EListError);
  EXPECT_THROW(list.Delete(-1), EListError);
  EXPECT_THROW(list.Insert(2, u"x"), EListError);
  list.Insert(1, u"b");
  list.Insert(0, u"c");
  EXPECT_EQ(ItemsOf(list), (std::vector<String>{u"c", u"a", u"b"}));
}

TEST(StringListSort, SortsWithCaseCountingLowerCaseFirst) {
  TVYNStringList list;
  list.SetText(u"b\r\nB\r\na\r\nA\r\n");
  list.Sort();
  EXPECT_EQ(ItemsOf(list), (std::vector<String>{u"a", u"A", u"b", u"B"}));
}

struct LogicalCase {
  const char* Title;
  std::vector<String> Input;
  std::vector<String> Sorted;
};

class SortLogical : public testing::TestWithParam<LogicalCase> {};

TEST_P(SortLogical, OrdersNumbersByValue) {
  TVYNStringList list;
  for (const String& item : GetParam().Input) list.Add(item);
  list.SortLogical();
  EXPECT_EQ(ItemsOf(list), GetParam().Sorted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SortLogical,
    testing::Values(
        LogicalCase{"NumbersByValue",
                    {u"Lang10.lng", u"Lang9.lng", u"Lang1.lng"},
                    {u"Lang1.lng", u"Lang9.lng", u"Lang10.lng"}},
        LogicalCase{"CaseIgnoredAndEqualItemsKeepTheirOrder",
                    {u"english.lng", u"Deutsch.lng", u"English.lng"},
                    {u"Deutsch.lng", u"english.lng", u"English.lng"}},
        LogicalCase{"ShorterTextSortsFirst", {u"abcd", u"abc", u"ab"}, {u"ab", u"abc", u"abcd"}},
        LogicalCase{
            "LeadingZerosDoNotChangeTheValue", {u"a10", u"a007", u"a8"}, {u"a007", u"a8", u"a10"}},
        LogicalCase{"DigitRunsLongerThanAnyInteger",
                    {u"v100000000000000000000000000001", u"v99999999999999999999999999999",
                     u"v100000000000000000000000000000"},
                    {u"v99999999999999999999999999999", u"v100000000000000000000000000000",
                     u"v100000000000000000000000000001"}},
        LogicalCase{
            "NumbersInsideText", {u"x2y10", u"x2y9", u"x10y1"}, {u"x2y9", u"x2y10", u"x10y1"}}),
    CaseTitle());

struct StreamCase {
  const char* Title;
  std::string_view Bytes;
  std::vector<String> Lines;
};

class StringListLoading : public testing::TestWithParam<StreamCase> {};

TEST_P(StringListLoading, RecognisesByteOrderMarks) {
  TMemoryStream stream = StreamOf(GetParam().Bytes);
  TVYNStringList list;
  list.LoadFromStream(stream);
  EXPECT_EQ(ItemsOf(list), GetParam().Lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StringListLoading,
    testing::Values(
        StreamCase{"Utf8", "\xEF\xBB\xBFk=\xC3\xA9\r\nx", {u"k=é", u"x"}},
        StreamCase{"Utf16LittleEndian", std::string_view("\xFF\xFEk\0=\0\xE9\0", 8), {u"k=é"}},
        StreamCase{"Utf16BigEndian", std::string_view("\xFE\xFF\0k\0=\0\xE9", 8), {u"k=é"}},
        StreamCase{"AsciiWithoutMark", "a\r\nb", {u"a", u"b"}}, StreamCase{"Empty", "", {}},
        // An empty UTF-16 text saved with its mark is exactly the mark.
        StreamCase{"OnlyAUtf16Mark", "\xFF\xFE", {}},
        StreamCase{"OnlyAUtf8Mark", "\xEF\xBB\xBF", {}}),
    CaseTitle());

TEST(StringListSaving, WritesTheMarkAndEveryLineWithABreak) {
  TVYNStringList list;
  list.SetText(u"a=é\r\nb");
  TMemoryStream utf8;
  list.SaveToStream(utf8, &TEncoding::UTF8());
  EXPECT_EQ(utf8.Bytes(), (std::vector<uint8_t>{0xEF, 0xBB, 0xBF, 'a', '=', 0xC3, 0xA9, '\r', '\n',
                                                'b', '\r', '\n'}));
  TMemoryStream utf16;
  list.SaveToStream(utf16);
  utf16.SetPosition(0);
  TVYNStringList reloaded;
  reloaded.LoadFromStream(utf16);
  EXPECT_EQ(ItemsOf(reloaded), ItemsOf(list));
}

TEST(StringListSaving, EmptyListRoundTripsThroughUtf16) {
  TVYNStringList list;
  TMemoryStream stream;
  list.SaveToStream(stream);
  stream.SetPosition(0);
  TVYNStringList reloaded;
  reloaded.LoadFromStream(stream);
  EXPECT_EQ(reloaded.Count(), 0);
}

class CountingList : public TVYNStringList {
 public:
  void Changed() override { ++changes; }
  int changes = 0;
};

TEST(StringListChanges, EveryChangeEndsInChangedAndUpdatesGroupThem) {
  CountingList list;
  list.Add(u"a");
  list.Put(0, u"b");
  list.Delete(0);
  EXPECT_EQ(list.changes, 3);
  list.BeginUpdate();
  list.BeginUpdate();
  list.Add(u"a");
  list.Add(u"b");
  list.EndUpdate();
  EXPECT_EQ(list.changes, 3);
  list.EndUpdate();
  EXPECT_EQ(list.changes, 4);
  list.SetText(u"x\r\ny\r\nz");
  EXPECT_EQ(list.changes, 5);
  // An update that changed nothing still ends in Changed.
  list.BeginUpdate();
  list.EndUpdate();
  EXPECT_EQ(list.changes, 6);
}

}  // namespace

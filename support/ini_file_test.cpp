// INI files: loading into sections, typed reads and writes, merging, encodings, files and events.
#include "support/ini_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/file_attributes.h"
#include "support/memory_stream.h"
#include "tests/support/case_title.h"
#include "tests/support/temporary_folder.h"

namespace {

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

// The bytes of a literal that may hold NULs, without its terminator.
template <size_t Size>
std::string Raw(const char (&bytes)[Size]) {
  return std::string(bytes, Size - 1);
}

// An INI object loaded from text.
struct IniText : TVYNIniFile {
  explicit IniText(StringView text) { LoadFromString(text); }
};

// The content as saved, read back as text.
String Image(const TVYNIniFile& ini) {
  TMemoryStream stream;
  ini.SaveToStream(stream, &TEncoding::UTF8());
  const std::vector<uint8_t>& bytes = stream.Bytes();
  EXPECT_GE(bytes.size(), 3u);
  return Utf8ToString({reinterpret_cast<const char*>(bytes.data()) + 3, bytes.size() - 3});
}

std::vector<uint8_t> SavedBytes(const TVYNIniFile& ini, const TEncoding* encoding) {
  TMemoryStream stream;
  ini.SaveToStream(stream, encoding);
  return stream.Bytes();
}

// ---- Text into sections and back ----------------------------------------------------------

struct LayoutCase {
  const char* Title;
  String Text;
  String Saved;
};

class IniLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(IniLayout, KeepsLinesAndRewritesOnlyTheFrame) {
  EXPECT_EQ(Image(IniText(GetParam().Text)), GetParam().Saved);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniLayout,
    testing::Values(
        LayoutCase{"LinesBeforeTheFirstHeaderAreDropped", u"k=v\r\n;c\r\n[S]\r\na=1",
                   u"[S]\r\na=1\r\n\r\n"},
        LayoutCase{"HeadersDifferingInCaseLeadIntoOneSection",
                   u"[Main]\na=1\n[Other]\nx=0\n[MAIN]\nb=2",
                   u"[Main]\r\na=1\r\nb=2\r\n\r\n[Other]\r\nx=0\r\n\r\n"},
        LayoutCase{"LinesAreKeptVerbatim", u"[S]\r\n key = value ; note\r\n;comment\r\nplain text",
                   u"[S]\r\n key = value ; note\r\n;comment\r\nplain text\r\n\r\n"},
        LayoutCase{"EmptyLinesAreSkipped", u"\r\n[S]\r\n\r\n\r\na=1\r\n\r\n",
                   u"[S]\r\na=1\r\n\r\n"},
        LayoutCase{"SectionsWithoutLinesAreNotWritten", u"[A]\r\n[B]\r\nx=1\r\n[C]",
                   u"[B]\r\nx=1\r\n\r\n"},
        LayoutCase{"EveryKindOfLineEnd", u"[S]\rx=1\u2028\r\ny=2\u2028z=3\nw=4\r\n",
                   u"[S]\r\nx=1\r\ny=2\r\nz=3\r\nw=4\r\n\r\n"},
        LayoutCase{"ShortHeadersNameTheEmptySection", u"[\r\na=1\r\n[]\r\nb=2\r\n[x\r\nc=3",
                   u"[]\r\na=1\r\nb=2\r\nc=3\r\n\r\n"},
        LayoutCase{"HeaderLosesItsLastCharacterWhateverItIs", u"[S]  \r\na=1\r\n[T;\r\nb=2",
                   u"[S] ]\r\na=1\r\n\r\n[T]\r\nb=2\r\n\r\n"}),
    CaseTitle());

TEST(IniSections, NameIsTheHeaderWithoutItsFirstAndLastCharacter) {
  const IniText ini(u"[Settings]  \r\na=1\r\n[ä]\r\nb=2\r\n[Ä]\r\nc=3");
  ASSERT_EQ(ini.SectionCount(), 2);
  EXPECT_EQ(ini.SectionName(0), u"Settings] ");
  EXPECT_EQ(ini.SectionName(1), u"ä");
  EXPECT_EQ(ini.ReadString(u"Ä", u"C", u"-"), u"3");
  EXPECT_FALSE(ini.SectionExists(u"Settings"));
  EXPECT_EQ(ini.SectionName(2), u"");
}

TEST(IniSections, NamesAlikeInTheirFirst64CharactersStayApart) {
  // Such names share a hash, so the names themselves must decide.
  const String prefix(64, u'N');
  TVYNIniFile ini;
  ini.WriteString(prefix + u"1", u"k", u"one");
  ini.WriteString(prefix + u"2", u"k", u"two");
  ini.WriteString(prefix + u"1", prefix + u"a", u"A");
  ini.WriteString(prefix + u"1", prefix + u"b", u"B");
  EXPECT_EQ(ini.SectionCount(), 2);
  EXPECT_EQ(ini.ReadString(prefix + u"2", u"K", u""), u"two");
  EXPECT_EQ(ini.ReadString(prefix + u"1", u"k", u""), u"one");
  EXPECT_EQ(ini.ReadString(prefix + u"1", prefix + u"B", u""), u"B");
  EXPECT_EQ(ini.ReadString(prefix + u"1", prefix + u"c", u"none"), u"none");
}

TEST(IniSections, ErasedSectionIsNotFoundThroughTheLastLookup) {
  IniText ini(u"[A]\r\na=1\r\n[B]\r\nb=2");
  EXPECT_EQ(ini.ReadString(u"B", u"b", u""), u"2");
  EXPECT_TRUE(ini.EraseSection(u"b"));
  EXPECT_FALSE(ini.SectionExists(u"B"));
  EXPECT_EQ(ini.ReadString(u"B", u"b", u"gone"), u"gone");
  EXPECT_FALSE(ini.EraseSection(u"B"));
  ini.WriteString(u"B", u"b", u"3");
  EXPECT_EQ(Image(ini), u"[A]\r\na=1\r\n\r\n[B]\r\nb=3\r\n\r\n");
}

// ---- Reading and writing keys --------------------------------------------------------------

TEST(IniKeys, FirstLineOfAKeyIsReadAndOnlyItIsReplaced) {
  IniText ini(u"[S]\r\nkey=1\r\nKEY=2\r\n");
  EXPECT_EQ(ini.ReadString(u"s", u"Key", u""), u"1");
  ini.WriteString(u"S", u"Key", u"3");
  EXPECT_EQ(Image(ini), u"[S]\r\nKey=3\r\nKEY=2\r\n\r\n");
  EXPECT_TRUE(ini.DeleteKey(u"S", u"key"));
  EXPECT_EQ(ini.ReadString(u"S", u"key", u""), u"2");
}

TEST(IniKeys, KeysAndValuesAreNotTrimmed) {
  const IniText ini(u"[S]\r\nkey = value \r\nempty=\r\n");
  EXPECT_EQ(ini.ReadString(u"S", u"key ", u"-"), u" value ");
  EXPECT_EQ(ini.ReadString(u"S", u"key", u"-"), u"-");
  // An existing empty value is a value; the default is only for a missing key or section.
  EXPECT_EQ(ini.ReadString(u"S", u"empty", u"-"), u"");
  EXPECT_EQ(ini.ReadString(u"T", u"empty", u"-"), u"-");
  EXPECT_TRUE(ini.ValueExists(u"S", u"EMPTY"));
  EXPECT_FALSE(ini.ValueExists(u"S", u"emptyish"));
}

TEST(IniKeys, WritingAppendsMissingKeysAndSectionsAtTheEnd) {
  IniText ini(u"[A]\r\n;comment\r\na=1\r\n");
  ini.WriteString(u"A", u"b", u"2");
  ini.WriteString(u"New", u"c", u"3");
  EXPECT_EQ(Image(ini), u"[A]\r\n;comment\r\na=1\r\nb=2\r\n\r\n[New]\r\nc=3\r\n\r\n");
}

TEST(IniKeys, WriteStringOrDeleteComparesWithTheDefaultExactly) {
  IniText ini(u"[S]\r\na=x\r\nb=x\r\n");
  ini.WriteStringOrDelete(u"S", u"a", u"Default", u"Default");
  ini.WriteStringOrDelete(u"S", u"b", u"DEFAULT", u"Default");
  EXPECT_EQ(Image(ini), u"[S]\r\nb=DEFAULT\r\n\r\n");
}

TEST(IniKeys, SectionWhoseLinesWereAllDeletedIsNotSaved) {
  IniText ini(u"[A]\r\na=1\r\n[B]\r\nb=1\r\n");
  EXPECT_TRUE(ini.DeleteKey(u"A", u"a"));
  EXPECT_FALSE(ini.DeleteKey(u"A", u"a"));
  EXPECT_FALSE(ini.DeleteKey(u"Missing", u"a"));
  EXPECT_EQ(Image(ini), u"[B]\r\nb=1\r\n\r\n");
}

TEST(IniKeys, ReadKeysListsNamedLinesInOrder) {
  const IniText ini(u"[S]\r\n;comment\r\nb=1\r\n=no name\r\na=2\r\nB=3\r\n");
  TVYNStringList keys;
  keys.Add(u"kept");
  ini.ReadKeys(u"S", keys);
  ini.ReadKeys(u"Missing", keys);
  ASSERT_EQ(keys.Count(), 4);
  EXPECT_EQ(keys.GetText(), u"kept\r\nb\r\na\r\nB\r\n");
}

TEST(IniKeys, SectionTextReadsAndReplacesAllLines) {
  IniText ini(u"[S]\r\n;c\r\na=1\r\n");
  EXPECT_EQ(ini.ReadSectionText(u"s"), u";c\r\na=1\r\n");
  EXPECT_EQ(ini.ReadSectionText(u"Missing"), u"");
  ini.WriteSectionText(u"S", u"x=1\ny=2");
  ini.WriteSectionText(u"T", u"z=3");
  EXPECT_EQ(Image(ini), u"[S]\r\nx=1\r\ny=2\r\n\r\n[T]\r\nz=3\r\n\r\n");
}

// ---- Typed values ---------------------------------------------------------------------------

struct IntegerCase {
  const char* Title;
  String Value;
  int32_t Expected;
};

constexpr int32_t Fallback = 77;

class ReadInteger : public testing::TestWithParam<IntegerCase> {};

TEST_P(ReadInteger, ParsesOrFallsBackToTheDefault) {
  TVYNIniFile ini;
  ini.WriteString(u"S", u"k", GetParam().Value);
  EXPECT_EQ(ini.ReadInteger(u"S", u"k", Fallback), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadInteger,
    testing::Values(
        IntegerCase{"Decimal", u"10", 10}, IntegerCase{"LeadingSpaces", u"   42", 42},
        IntegerCase{"Minus", u"-5", -5}, IntegerCase{"Plus", u"+7", 7},
        IntegerCase{"Dollar", u"$10", 16}, IntegerCase{"SmallX", u"x1f", 31},
        IntegerCase{"CapitalX", u"X1F", 31}, IntegerCase{"ZeroX", u"0x10", 16},
        IntegerCase{"ZeroCapitalX", u"0X10", 16}, IntegerCase{"NegativeHexadecimal", u"-$10", -16},
        IntegerCase{"ManyLeadingZeros", u"000000000000000000000001", 1},
        IntegerCase{"Largest", u"2147483647", 2147483647},
        IntegerCase{"Smallest", u"-2147483648", -2147483647 - 1},
        IntegerCase{"LargestHexadecimal", u"$7FFFFFFF", 2147483647},
        IntegerCase{"SmallestHexadecimal", u"-0x80000000", -2147483647 - 1},
        IntegerCase{"TooLarge", u"2147483648", Fallback},
        IntegerCase{"TooSmall", u"-2147483649", Fallback},
        IntegerCase{"HexadecimalTooLarge", u"$80000000", Fallback},
        IntegerCase{"ManyDigits", u"99999999999999999999999", Fallback},
        IntegerCase{"DigitsThenLetters", u"12abc", Fallback},
        IntegerCase{"TrailingSpace", u"10 ", Fallback}, IntegerCase{"Tab", u"\t5", Fallback},
        IntegerCase{"Decimals", u"1.5", Fallback}, IntegerCase{"SignOnly", u"-", Fallback},
        IntegerCase{"PrefixOnly", u"$", Fallback}, IntegerCase{"ZeroXOnly", u"0x", Fallback},
        IntegerCase{"TwoSigns", u"--1", Fallback},
        IntegerCase{"HexadecimalDigitsWithoutPrefix", u"1F", Fallback},
        IntegerCase{"Empty", u"", Fallback}, IntegerCase{"Word", u"true", Fallback}),
    CaseTitle());

TEST(ReadInteger, MissingKeyGivesTheDefault) {
  const IniText ini(u"[S]\r\nk=1");
  EXPECT_EQ(ini.ReadInteger(u"S", u"other", -3), -3);
  EXPECT_EQ(ini.ReadInteger(u"T", u"k", -3), -3);
}

struct BoolCase {
  const char* Title;
  const char16_t* Value;  // null: no such key
  bool Default;
  bool Expected;
};

class ReadBool : public testing::TestWithParam<BoolCase> {};

TEST_P(ReadBool, IsTrueForEveryNumberButZero) {
  TVYNIniFile ini;
  ini.WriteString(u"S", u"other", u"1");
  if (GetParam().Value != nullptr) ini.WriteString(u"S", u"k", GetParam().Value);
  EXPECT_EQ(ini.ReadBool(u"S", u"k", GetParam().Default), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadBool,
                         testing::Values(BoolCase{"One", u"1", false, true},
                                         BoolCase{"MinusOne", u"-1", false, true},
                                         BoolCase{"Two", u"2", false, true},
                                         BoolCase{"Zero", u"0", true, false},
                                         BoolCase{"WordGivesDefaultTrue", u"true", true, true},
                                         BoolCase{"WordGivesDefaultFalse", u"true", false, false},
                                         BoolCase{"MissingGivesDefault", nullptr, true, true}),
                         CaseTitle());

TEST(WriteTypedValues, WriteDecimalDigitsAndFlags) {
  TVYNIniFile ini;
  ini.WriteInteger(u"S", u"i", -2147483647 - 1);
  ini.WriteBool(u"S", u"t", true);
  ini.WriteBool(u"S", u"f", false);
  ini.WriteRect(u"S", u"r", TRect{-1, 2, 300, -4});
  EXPECT_EQ(Image(ini), u"[S]\r\ni=-2147483648\r\nt=1\r\nf=0\r\nr=-1,2,300,-4\r\n\r\n");
  EXPECT_EQ(ini.ReadRect(u"S", u"r", TRect{}), (TRect{-1, 2, 300, -4}));
}

struct RectCase {
  const char* Title;
  String Value;
  TRect Expected;
};

class ReadRect : public testing::TestWithParam<RectCase> {};

TEST_P(ReadRect, ParsesUpToFourParts) {
  TVYNIniFile ini;
  ini.WriteString(u"S", u"r", GetParam().Value);
  EXPECT_EQ(ini.ReadRect(u"S", u"r", TRect{9, 9, 9, 9}), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadRect,
    testing::Values(
        RectCase{"FourParts", u"1,2,3,4", {1, 2, 3, 4}},
        RectCase{"Negative", u"-10,-20,30,40", {-10, -20, 30, 40}},
        RectCase{"FullWidthDigits", u"\uFF11\uFF10,\uFF12,-\uFF13,4", {10, 2, -3, 4}},
        RectCase{"MissingPartsAreZero", u"1,2", {1, 2, 0, 0}},
        RectCase{"BadPartEndsTheReading", u"1,x,3,4", {1, 0, 0, 0}},
        RectCase{"EmptyPartEndsTheReading", u"1,,3,4", {1, 0, 0, 0}},
        RectCase{"SpacesAreNotDigits", u"1, 2,3,4", {1, 0, 0, 0}},
        RectCase{"PlusIsNotASign", u"+1,2,3,4", {0, 0, 0, 0}},
        RectCase{"MinusAlone", u"-,2,3,4", {0, 0, 0, 0}},
        RectCase{"OutOfRange", u"1,99999999999,3,4", {1, 0, 0, 0}},
        RectCase{"Extremes", u"-2147483648,2147483647,0,0", {-2147483647 - 1, 2147483647, 0, 0}},
        RectCase{"PartsBeyondTheFourthAreIgnored", u"1,2,3,4,5", {1, 2, 3, 4}},
        RectCase{"EmptyValue", u"", {0, 0, 0, 0}}),
    CaseTitle());

TEST(ReadRect, MissingKeyGivesTheDefault) {
  const TVYNIniFile ini;
  EXPECT_EQ(ini.ReadRect(u"S", u"r", TRect{1, 2, 3, 4}), (TRect{1, 2, 3, 4}));
}

struct HexCase {
  const char* Title;
  String Value;
  bool Result;
  std::string_view StreamAfter;  // the stream held "xy" at position 2 before the call
  int64_t PositionAfter;
};

class ReadStream : public testing::TestWithParam<HexCase> {};

TEST_P(ReadStream, DecodesHexadecimalIntoTheStream) {
  TVYNIniFile ini;
  ini.WriteString(u"S", u"k", GetParam().Value);
  TMemoryStream stream(Bytes("xy"));
  stream.SetPosition(2);
  EXPECT_EQ(ini.ReadStream(u"S", u"k", stream), GetParam().Result);
  EXPECT_EQ(stream.Bytes(), Bytes(GetParam().StreamAfter));
  EXPECT_EQ(stream.Position(), GetParam().PositionAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadStream,
    testing::Values(HexCase{"EitherCase", u"0aFf41", true,
                            std::string_view("xy\x0A\xFF"
                                             "A",
                                             5),
                            0},
                    HexCase{"EmptyWritesNothing", u"", true, "xy", 0},
                    HexCase{"OddLengthLeavesTheStreamAlone", u"414", false, "xy", 2},
                    HexCase{"BadDigitCutsTheStreamBack", u"41G1", false, "xy", 2},
                    HexCase{"SignIsNotADigit", u"-1", false, "xy", 2}),
    CaseTitle());

TEST(ReadStream, MissingKeyLeavesTheStreamAlone) {
  const TVYNIniFile ini;
  TMemoryStream stream(Bytes("xy"));
  EXPECT_FALSE(ini.ReadStream(u"S", u"k", stream));
  EXPECT_EQ(stream.Bytes(), Bytes("xy"));
}

TEST(WriteStream, WritesTheWholeStreamInUpperCaseAndDeletesForAnEmptyOne) {
  TVYNIniFile ini;
  TMemoryStream stream(Bytes(Raw("\x00\xAB\x7f")));
  stream.SetPosition(2);
  ini.WriteStream(u"S", u"k", stream);
  EXPECT_EQ(ini.ReadString(u"S", u"k", u""), u"00AB7F");
  TMemoryStream empty;
  ini.WriteStream(u"S", u"k", empty);
  EXPECT_FALSE(ini.ValueExists(u"S", u"k"));
}

// ---- Merging, copying, comparing -------------------------------------------------------------

struct MergeCase {
  const char* Title;
  bool Overwrite;
  String Merged;
};

class IniMerge : public testing::TestWithParam<MergeCase> {};

TEST_P(IniMerge, AddsMissingKeysAndCopiesMissingSections) {
  IniText target(u"[Common]\r\nCaption=Mine\r\n;my note\r\n");
  const IniText source(
      u"[Common]\r\n;their note\r\ncaption=Theirs\r\nCaption=Second\r\nQM=Quit?\r\n"
      u"[PageSetup]\r\n;comment line\r\nTitle=Setup\r\nno key line\r\n");
  target.Merge(source, GetParam().Overwrite);
  EXPECT_EQ(Image(target), GetParam().Merged);
}

// The source has two lines for "Caption": both keys are merged with the value of the first
// line, the later one in its own letter case.
INSTANTIATE_TEST_SUITE_P(
    Cases, IniMerge,
    testing::Values(
        MergeCase{"OverwriteOff", false,
                  u"[Common]\r\nCaption=Mine\r\n;my note\r\nQM=Quit?\r\n\r\n"
                  u"[PageSetup]\r\n;comment line\r\nTitle=Setup\r\nno key line\r\n\r\n"},
        MergeCase{"OverwriteOn", true,
                  u"[Common]\r\nCaption=Theirs\r\n;my note\r\nQM=Quit?\r\n\r\n"
                  u"[PageSetup]\r\n;comment line\r\nTitle=Setup\r\nno key line\r\n\r\n"}),
    CaseTitle());

TEST(IniMerge, MissingFileMergesNothing) {
  TemporaryFolder folder;
  IniText ini(u"[S]\r\na=1");
  ini.MergeFromFile(folder.PathOf(u"missing.ini"), true);
  EXPECT_EQ(Image(ini), u"[S]\r\na=1\r\n\r\n");
}

TEST(IniCopy, AssignCopiesTheSavedImageAndEqualsComparesImages) {
  const IniText source(u"[Empty]\r\n[S]\r\na=1\r\n;c");
  IniText copy(u"[Old]\r\nx=1");
  copy.SetEncoding(TEncoding::UTF8());
  copy.Assign(source);
  EXPECT_TRUE(copy.Equals(source));
  EXPECT_EQ(copy.SectionCount(), 1);
  EXPECT_EQ(Image(copy), u"[S]\r\na=1\r\n;c\r\n\r\n");
  EXPECT_EQ(&copy.Encoding(), &TEncoding::Unicode());
  copy.WriteString(u"S", u"a", u"2");
  EXPECT_FALSE(copy.Equals(source));
  copy.Assign(copy);
  EXPECT_EQ(copy.ReadString(u"S", u"a", u""), u"2");
}

// ---- Encodings --------------------------------------------------------------------------------

TEST(IniEncoding, NewObjectsSaveUtf16LittleEndian) {
  const IniText ini(u"[S]\r\na=1");
  EXPECT_EQ(&ini.Encoding(), &TEncoding::Unicode());
  EXPECT_EQ(SavedBytes(ini, nullptr),
            Bytes(Raw("\xFF\xFE[\0S\0]\0\r\0\n\0a\0=\0001\0\r\0\n\0\r\0\n\0")));
}

struct EncodingCase {
  const char* Title;
  std::string Bytes;
  const TEncoding& (*Found)();
  String Value;       // of key k in section S
  std::string Saved;  // saved in the encoding found
};

class IniEncoding : public testing::TestWithParam<EncodingCase> {};

TEST_P(IniEncoding, LoadsAndSavesBackInTheEncodingFound) {
  TMemoryStream stream(Bytes(GetParam().Bytes));
  TVYNIniFile ini;
  ini.LoadFromStream(stream);
  EXPECT_EQ(&ini.Encoding(), &GetParam().Found());
  EXPECT_EQ(ini.ReadString(u"S", u"k", u"missing"), GetParam().Value);
  EXPECT_EQ(SavedBytes(ini, &ini.Encoding()), Bytes(GetParam().Saved));
}

std::string Ansi(StringView text) {
  const std::vector<uint8_t> bytes = TEncoding::ANSI().GetBytes(text);
  return {bytes.begin(), bytes.end()};
}

String FromAnsi(std::string_view bytes) {
  return TEncoding::ANSI().GetString(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniEncoding,
    testing::Values(EncodingCase{"Utf8WithMark", "\xEF\xBB\xBF[S]\nk=\xC3\xA9", &TEncoding::UTF8,
                                 u"é", "\xEF\xBB\xBF[S]\r\nk=\xC3\xA9\r\n\r\n"},
                    EncodingCase{"Utf16BigEndianMark", Raw("\xFE\xFF\0[\0S\0]\0\n\0k\0=\0\xE9"),
                                 &TEncoding::BigEndianUnicode, u"é",
                                 Raw("\xFE\xFF\0[\0S\0]\0\r\0\n\0k\0=\0\xE9\0\r\0\n\0\r\0\n")},
                    EncodingCase{"Utf16LittleEndianMark", Raw("\xFF\xFE[\0S\0]\0\n\0k\0=\0\xE9\0"),
                                 &TEncoding::Unicode, u"é",
                                 Raw("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE9\0\r\0\n\0\r\0\n\0")},
                    EncodingCase{"NoMarkIsAnsiAndSavedWithoutMark", "[S]\nk=" + Ansi(u"é"),
                                 &TEncoding::ANSI, u"é", "[S]\r\nk=" + Ansi(u"é") + "\r\n\r\n"},
                    // UTF-8 without a mark is not recognised: its bytes are read as ANSI text.
                    EncodingCase{"Utf8WithoutMarkIsReadAsAnsi", "[S]\nk=\xC3\xA9", &TEncoding::ANSI,
                                 FromAnsi("\xC3\xA9"), "[S]\r\nk=\xC3\xA9\r\n\r\n"},
                    // Invalid UTF-8 after a UTF-8 mark is read as ANSI text rather than lost.
                    EncodingCase{
                        "InvalidUtf8FallsBackToAnsi", "\xEF\xBB\xBF[S]\nk=caf\xE9",
                        &TEncoding::UTF8, u"caf" + FromAnsi("\xE9"),
                        "\xEF\xBB\xBF[S]\r\nk=caf" + StringToUtf8(FromAnsi("\xE9")) + "\r\n\r\n"}),
    CaseTitle());

TEST(IniEncoding, EmptyStreamKeepsTheEncoding) {
  TVYNIniFile ini;
  ini.SetEncoding(TEncoding::UTF8());
  TMemoryStream empty;
  ini.LoadFromStream(empty);
  EXPECT_TRUE(ini.IsEmpty());
  EXPECT_EQ(&ini.Encoding(), &TEncoding::UTF8());
}

// ---- Files ------------------------------------------------------------------------------------

class IniFiles : public testing::Test {
 protected:
  void TearDown() override {
    // Not every test writes the file; a missing one has no attributes to clear.
    static_cast<void>(platform::SetFileAttributeFlags(Path(), platform::FileAttributeNormal));
  }
  String Path() const { return folder_.PathOf(u"settings.ini"); }

  TemporaryFolder folder_;
};

TEST_F(IniFiles, MissingFileGivesAnEmptyUnmodifiedObject) {
  TVYNIniFile ini(Path());
  EXPECT_TRUE(ini.IsEmpty());
  EXPECT_EQ(ini.FileName(), Path());
  EXPECT_FALSE(ini.Modified());
  // Nothing to save: true, and no file appears.
  EXPECT_TRUE(ini.UpdateFile());
  EXPECT_FALSE(std::filesystem::exists(folder_.NativePath(u"settings.ini")));
}

TEST_F(IniFiles, LoadingAFileClearsModifiedAndLoadingTextSetsIt) {
  folder_.WriteFile(u"settings.ini", "[S]\r\na=1\r\n");
  TVYNIniFile ini;
  ini.LoadFromString(u"[T]\r\nb=2");
  EXPECT_TRUE(ini.Modified());
  ini.LoadFromFile(Path());
  EXPECT_FALSE(ini.Modified());
  EXPECT_EQ(ini.ReadString(u"S", u"a", u""), u"1");
  EXPECT_FALSE(ini.SectionExists(u"T"));
}

TEST_F(IniFiles, UpdateFileSavesInTheEncodingFoundAndClearsModified) {
  folder_.WriteFile(u"settings.ini", "\xEF\xBB\xBF[S]\r\na=1\r\n");
  TVYNIniFile ini(Path());
  ini.WriteString(u"S", u"b", u"\u00E9");
  EXPECT_TRUE(ini.Modified());
  EXPECT_TRUE(ini.UpdateFile());
  EXPECT_FALSE(ini.Modified());
  EXPECT_EQ(folder_.ReadFile(u"settings.ini"), "\xEF\xBB\xBF[S]\r\na=1\r\nb=\xC3\xA9\r\n\r\n");
}

TEST_F(IniFiles, UpdateFileWithoutAFileNameFails) {
  TVYNIniFile ini;
  ini.WriteString(u"S", u"a", u"1");
  EXPECT_FALSE(ini.UpdateFile());
  EXPECT_TRUE(ini.Modified());
}

TEST_F(IniFiles, SaveToFileReplacesReadOnlyAndHiddenFiles) {
  folder_.WriteFile(u"settings.ini", "old content");
  ASSERT_TRUE(platform::SetFileAttributeFlags(
      Path(), platform::FileAttributeReadOnly | platform::FileAttributeHidden));
  const IniText ini(u"[S]\r\na=1");
  EXPECT_TRUE(ini.SaveToFile(Path(), &TEncoding::UTF8()));
  EXPECT_EQ(folder_.ReadFile(u"settings.ini"), "\xEF\xBB\xBF[S]\r\na=1\r\n\r\n");
  EXPECT_EQ(platform::GetFileAttributeFlags(Path()) &
                (platform::FileAttributeReadOnly | platform::FileAttributeHidden),
            0u);
}

TEST_F(IniFiles, SaveToFileFailsWithoutRaisingWhenTheFileCannotBeCreated) {
  const IniText ini(u"[S]\r\na=1");
  EXPECT_FALSE(ini.SaveToFile(folder_.PathOf(u"missing folder\\settings.ini")));
  // A program holding the file without sharing it keeps it from being replaced.
  folder_.WriteFile(u"settings.ini", "held");
  platform::File holder =
      platform::File::Open(Path(), platform::FileAccess::Read, platform::FileShareNone,
                           platform::FileCreation::OpenExisting);
  ASSERT_TRUE(holder.IsOpen());
  EXPECT_FALSE(ini.SaveToFile(Path()));
  holder.Close();
  EXPECT_EQ(folder_.ReadFile(u"settings.ini"), "held");
}

TEST_F(IniFiles, FilesAreSharedWithOtherReadersAndWriters) {
  folder_.WriteFile(u"settings.ini", "[S]\r\na=1\r\n");
  constexpr unsigned ShareAll = platform::FileShareRead | platform::FileShareWrite;
  platform::File other = platform::File::Open(Path(), platform::FileAccess::ReadWrite, ShareAll,
                                              platform::FileCreation::OpenExisting);
  ASSERT_TRUE(other.IsOpen());
  TVYNIniFile ini(Path());
  EXPECT_EQ(ini.ReadString(u"S", u"a", u""), u"1");
  ini.WriteString(u"S", u"a", u"2");
  EXPECT_TRUE(ini.UpdateFile());
}

TEST_F(IniFiles, LongPathsAreSavedAndLoaded) {
  String relative;
  while (folder_.Path().size() + relative.size() < 270) relative += u"a-rather-long-folder\\";
  std::filesystem::create_directories(folder_.NativePath(relative));
  const String path = folder_.PathOf(relative + u"settings.ini");
  ASSERT_GE(path.size(), 260u);
  EXPECT_TRUE(IniText(u"[S]\r\na=1").SaveToFile(path));
  EXPECT_EQ(TVYNIniFile(path).ReadString(u"S", u"a", u""), u"1");
}

TEST_F(IniFiles, AutoSaveSavesAModifiedObjectWhenItIsDestroyed) {
  { TVYNIniFile untouched(Path(), true); }
  EXPECT_FALSE(std::filesystem::exists(folder_.NativePath(u"settings.ini")));
  {
    TVYNIniFile ini(Path(), true);
    ini.WriteString(u"S", u"a", u"1");
  }
  EXPECT_EQ(TVYNIniFile(Path()).ReadString(u"S", u"a", u""), u"1");
  {
    TVYNIniFile ini(Path(), false);
    ini.WriteString(u"S", u"a", u"2");
  }
  EXPECT_EQ(TVYNIniFile(Path()).ReadString(u"S", u"a", u""), u"1");
}

// ---- Change events ----------------------------------------------------------------------------

class IniChanges : public testing::Test {
 protected:
  void SetUp() override {
    ini_.LoadFromString(u"[S]\r\na=1\r\n");
    ini_.SetModified(false);
    ini_.OnChange = [this] { ++changes_; };
  }

  TVYNIniFile ini_;
  int changes_ = 0;
};

TEST_F(IniChanges, EachWriteFiresOnceAndSetsModified) {
  ini_.WriteString(u"S", u"a", u"2");
  EXPECT_EQ(changes_, 1);
  EXPECT_TRUE(ini_.Modified());
  ini_.WriteString(u"New", u"a", u"2");
  EXPECT_EQ(changes_, 2);
  ini_.DeleteKey(u"S", u"a");
  EXPECT_EQ(changes_, 3);
  ini_.Section(0).Add(u"direct=1");
  EXPECT_EQ(changes_, 4);
  ini_.EraseSection(u"New");
  EXPECT_EQ(changes_, 5);
}

TEST_F(IniChanges, UpdatesFireOnceWhenTheOutermostEnds) {
  ini_.BeginUpdate();
  ini_.BeginUpdate();
  ini_.WriteString(u"S", u"a", u"2");
  ini_.WriteInteger(u"S", u"b", 3);
  ini_.EndUpdate();
  EXPECT_EQ(changes_, 0);
  EXPECT_TRUE(ini_.Modified());
  ini_.EndUpdate();
  EXPECT_EQ(changes_, 1);
  // Even an update that changed nothing ends in one event.
  ini_.BeginUpdate();
  ini_.EndUpdate();
  EXPECT_EQ(changes_, 2);
}

TEST_F(IniChanges, LoadingAndMergingFireOnce) {
  ini_.LoadFromString(u"[A]\r\na=1\r\nb=2\r\n[B]\r\nc=3");
  EXPECT_EQ(changes_, 1);
  ini_.Merge(IniText(u"[A]\r\nd=4\r\ne=5\r\n[C]\r\nf=6"), false);
  EXPECT_EQ(changes_, 2);
}

}  // namespace

// The resource reader and writer of 64-bit Windows programs: packages added and replaced with
// every other resource and section kept, headers the loader accepts, the order of names the
// loader searches, and clean refusals of damaged or hostile images.
#include "tools/setupkit/pe_resources.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>

#include "tests/support/case_title.h"
#include "tiny_program_bytes.h"
#include "tools/setupkit/test_icon_file.h"
#include "tools/setupkit/test_program_image.h"

namespace {

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

std::vector<uint8_t> TinyProgram() {
  return {std::begin(TinyProgramBytes), std::end(TinyProgramBytes)};
}

TTestProgram ManifestProgram(bool section_after = true, std::string overlay = {}) {
  TTestProgramOptions options;
  options.Resources = {TestManifest()};
  options.SectionAfterResources = section_after;
  options.Overlay = std::move(overlay);
  return MakeTestProgram(options);
}

// The headers as the test reads them itself.
struct Headers {
  size_t Pe;
  size_t Optional;
  size_t Table;
  uint16_t SectionCount;

  explicit Headers(const std::vector<uint8_t>& image)
      : Pe(ReadTest32(image, 0x3C)),
        Optional(Pe + 24),
        Table(Optional + ReadTest16(image, Pe + 20)),
        SectionCount(ReadTest16(image, Pe + 6)) {}
};

struct Section {
  std::string Name;
  uint32_t VirtualSize, Rva, RawSize, RawOffset;
};

std::vector<Section> SectionsOf(const std::vector<uint8_t>& image) {
  const Headers headers(image);
  std::vector<Section> sections;
  for (size_t i = 0; i < headers.SectionCount; ++i) {
    const size_t at = headers.Table + 40 * i;
    std::string name(image.begin() + at, image.begin() + at + 8);
    name.resize(name.find('\0') == std::string::npos ? 8 : name.find('\0'));
    sections.push_back({name, ReadTest32(image, at + 8), ReadTest32(image, at + 12),
                        ReadTest32(image, at + 16), ReadTest32(image, at + 20)});
  }
  return sections;
}

std::vector<uint8_t> RawBytes(const std::vector<uint8_t>& image, const Section& section) {
  return {image.begin() + section.RawOffset, image.begin() + section.RawOffset + section.RawSize};
}

uint32_t Align(uint32_t value, uint32_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

// What the loader insists on, and what the writer promises about the headers.
void ExpectSoundHeaders(const std::vector<uint8_t>& image) {
  EXPECT_NO_THROW(CheckProgramImage(image));
  const Headers headers(image);
  const uint32_t section_alignment = ReadTest32(image, headers.Optional + 32);
  const uint32_t file_alignment = ReadTest32(image, headers.Optional + 36);
  const std::vector<Section> sections = SectionsOf(image);
  for (size_t i = 1; i < sections.size(); ++i) {
    // Sections follow each other in memory without gaps.
    EXPECT_EQ(sections[i].Rva,
              Align(sections[i - 1].Rva + sections[i - 1].VirtualSize, section_alignment))
        << sections[i].Name;
  }
  const Section& last = sections.back();
  EXPECT_EQ(last.Name, ".rsrc");
  EXPECT_EQ(last.RawOffset % file_alignment, 0u);
  // The packages start on a page of the file as they do in memory, so the loader can map them
  // instead of copying them in at every start.
  EXPECT_EQ(last.RawOffset % std::min(section_alignment, 0x1000u), 0u);
  EXPECT_EQ(last.RawSize % file_alignment, 0u);
  EXPECT_EQ(last.RawOffset + last.RawSize, image.size());
  EXPECT_EQ(ReadTest32(image, headers.Optional + 56),
            Align(last.Rva + last.VirtualSize, section_alignment));
  EXPECT_LE(headers.Table + 40 * sections.size(), ReadTest32(image, headers.Optional + 60));
  EXPECT_EQ(ReadTest32(image, headers.Optional + 112 + 16), last.Rva);
  EXPECT_EQ(ReadTest32(image, headers.Optional + 112 + 20), last.VirtualSize);
  EXPECT_EQ(ReadTest32(image, headers.Optional + 64), PeImageChecksum(image));
}

const TPeResource* FindResource(const std::vector<TPeResource>& resources, uint16_t type,
                                StringView name) {
  for (const TPeResource& resource : resources) {
    if (!resource.Type.IsName && resource.Type.Number == type && resource.Name.IsName &&
        resource.Name.Name == name) {
      return &resource;
    }
  }
  return nullptr;
}

std::vector<uint8_t> DataOf(const TPeResource* resource) {
  return resource == nullptr ? std::vector<uint8_t>{}
                             : std::vector<uint8_t>(resource->Data.begin(), resource->Data.end());
}

struct ProgramCase {
  const char* Title;
  std::function<std::vector<uint8_t>()> Program;
  // The language new packages take: the one the program's resources use.
  uint16_t PackageLanguage;
};

class PeResourcesAddsPackages : public testing::TestWithParam<ProgramCase> {};

TEST_P(PeResourcesAddsPackages, KeepingEveryResourceAndSection) {
  const std::vector<uint8_t> program = GetParam().Program();
  const std::vector<TPeResource> before = ReadResources(program);
  const std::vector<uint8_t> setup = Bytes("setup package"), product(70000, 0xA5);

  const std::vector<uint8_t> built =
      WithDataResources(program, {{u"SETUP", setup}, {u"PRODUCT", product}});

  ExpectSoundHeaders(built);
  const std::vector<TPeResource> after = ReadResources(built);
  ASSERT_EQ(after.size(), before.size() + 2);
  for (const TPeResource& old : before) {
    const auto kept = std::find_if(after.begin(), after.end(), [&](const TPeResource& r) {
      return r.Type.Number == old.Type.Number && r.Name.Number == old.Name.Number &&
             r.Name.Name == old.Name.Name && r.Language == old.Language;
    });
    ASSERT_NE(kept, after.end());
    EXPECT_EQ(kept->CodePage, old.CodePage);
    EXPECT_TRUE(std::equal(kept->Data.begin(), kept->Data.end(), old.Data.begin(), old.Data.end()));
  }
  for (const auto& [name, data] : {std::pair{u"SETUP", setup}, std::pair{u"PRODUCT", product}}) {
    const TPeResource* package = FindResource(after, PeResourceTypeData, name);
    ASSERT_NE(package, nullptr);
    EXPECT_EQ(DataOf(package), data);
    EXPECT_EQ(package->Language, GetParam().PackageLanguage);
  }

  // Every section other than the old resources keeps its bytes where they were, and so does
  // anything after the sections.
  const std::vector<Section> old_sections = SectionsOf(program);
  const std::vector<Section> new_sections = SectionsOf(built);
  for (size_t i = 0; i < old_sections.size(); ++i) {
    if (old_sections[i].Name == ".rsrc") continue;
    EXPECT_EQ(new_sections[i].Name, old_sections[i].Name);
    EXPECT_EQ(RawBytes(built, new_sections[i]), RawBytes(program, old_sections[i]));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Programs, PeResourcesAddsPackages,
    testing::Values(
        ProgramCase{"ResourcesBeforeAnotherSection", [] { return ManifestProgram().Image; }, 0x409},
        ProgramCase{"ResourcesLast", [] { return ManifestProgram(false).Image; }, 0x409},
        ProgramCase{"ResourcesLastThenAnOverlay",
                    [] { return ManifestProgram(false, "symbol table").Image; }, 0x409},
        ProgramCase{"NoResources", [] { return MakeTestProgram({}).Image; }, 0},
        ProgramCase{"RealLinkerOutput", TinyProgram, 0x409}),
    CaseTitle());

TEST(PeResources, RetiresTheOldResourceSectionWhenOthersFollowIt) {
  const std::vector<uint8_t> program = TinyProgram();
  const std::vector<uint8_t> built = WithDataResources(program, {{u"SETUP", Bytes("s")}});
  const std::vector<Section> sections = SectionsOf(built);
  ASSERT_EQ(sections.size(), SectionsOf(program).size() + 1);
  EXPECT_EQ(sections[sections.size() - 3].Name, ".oldrsrc");
  EXPECT_EQ(sections[sections.size() - 2].Name, ".reloc");
  // Anything after the old end of the file stays before the new section.
  const std::vector<uint8_t> with_overlay = [&] {
    std::vector<uint8_t> image = program;
    image.insert(image.end(), {'S', 'Y', 'M'});
    return image;
  }();
  const std::vector<uint8_t> rebuilt = WithDataResources(with_overlay, {{u"SETUP", Bytes("s")}});
  EXPECT_TRUE(
      std::equal(with_overlay.begin() + 0x1000, with_overlay.end(), rebuilt.begin() + 0x1000));
}

// A last resource section is replaced only when nothing but resources is lost with it.
TEST(PeResources, KeepsALastResourceSectionWhoseBytesStartInsideTheHeaders) {
  TTestProgram program = ManifestProgram(false);
  const size_t resources = program.SectionTableOffset + 40;
  WriteTest32(program.Image, resources + 16,
              static_cast<uint32_t>(program.Image.size() - 0x200));  // raw size
  WriteTest32(program.Image, resources + 20, 0x200);                 // raw offset
  const std::vector<uint8_t> built = WithDataResources(program.Image, {{u"SETUP", Bytes("s")}});
  EXPECT_TRUE(
      std::equal(program.Image.begin() + 0x400, program.Image.end(), built.begin() + 0x400));
  EXPECT_EQ(SectionsOf(built).size(), 3u);
}

TEST(PeResources, BuildingAgainReplacesThePackagesWithoutGrowing) {
  const std::vector<uint8_t> first = WithDataResources(
      TinyProgram(), {{u"SETUP", Bytes("first setup")}, {u"PRODUCT", Bytes("first product")}});
  const std::vector<uint8_t> second = WithDataResources(
      first, {{u"SETUP", Bytes("other setup")}, {u"PRODUCT", Bytes("next product!")}});

  EXPECT_EQ(second.size(), first.size());
  EXPECT_EQ(SectionsOf(second).size(), SectionsOf(first).size());
  ExpectSoundHeaders(second);
  const std::vector<TDataResource> data = ReadDataResources(second);
  ASSERT_EQ(data.size(), 2u);
  EXPECT_EQ(data[0].Name, u"PRODUCT");
  EXPECT_EQ(data[0].Data, Bytes("next product!"));
  EXPECT_EQ(data[1].Name, u"SETUP");
  EXPECT_EQ(data[1].Data, Bytes("other setup"));
  EXPECT_EQ(ReadResources(second).size(), ReadResources(TinyProgram()).size() + 2);

  // Larger packages the next time still replace the section rather than adding one.
  const std::vector<uint8_t> third =
      WithDataResources(second, {{u"SETUP", std::vector<uint8_t>(100000, 1)}});
  EXPECT_EQ(SectionsOf(third).size(), SectionsOf(first).size());
  ExpectSoundHeaders(third);
  EXPECT_EQ(ReadDataResources(third)[1].Data.size(), 100000u);
}

TTestProgram SymbolProgram(bool section_after_resources) {
  TTestProgramOptions options;
  options.Resources = {TestManifest()};
  options.SectionAfterResources = section_after_resources;
  options.SymbolTable = true;
  return MakeTestProgram(options);
}

std::string SymbolsAt(const std::vector<uint8_t>& image, size_t size) {
  const size_t at = ReadTest32(image, Headers(image).Pe + 12);
  if (at > image.size() || image.size() - at < size) return "outside the file";
  return {image.begin() + static_cast<ptrdiff_t>(at),
          image.begin() + static_cast<ptrdiff_t>(at + size)};
}

// Tools find the symbol table and the string table after it by file offset, so every build,
// the first and each one after it, leaves those bytes exactly where the header says.
struct SymbolCase {
  const char* Title;
  bool SectionAfterResources;
};

class PeResourcesKeepsSymbols : public testing::TestWithParam<SymbolCase> {};

TEST_P(PeResourcesKeepsSymbols, WhereTheHeaderPointsThroughEveryBuild) {
  const TTestProgram program = SymbolProgram(GetParam().SectionAfterResources);
  std::vector<uint8_t> built = program.Image;
  for (size_t round = 1; round <= 3; ++round) {
    built = WithDataResources(built, {{u"SETUP", std::vector<uint8_t>(1000 * round, 7)}});
    ExpectSoundHeaders(built);
    EXPECT_EQ(ReadTest32(built, Headers(built).Pe + 12), program.SymbolsOffset);
    EXPECT_EQ(ReadTest32(built, Headers(built).Pe + 16), 2u);
    EXPECT_EQ(SymbolsAt(built, program.Symbols.size()), program.Symbols) << "round " << round;
    EXPECT_EQ(ReadDataResources(built).at(0).Data.size(), 1000 * round);
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, PeResourcesKeepsSymbols,
                         testing::Values(SymbolCase{"ResourcesBeforeAnotherSection", true},
                                         SymbolCase{"ResourcesLast", false}),
                         CaseTitle());

// A symbol table that starts before the last resource section but whose strings run into it:
// replacing the section would cut the strings off, so the section is kept and a new one added.
TEST(PeResources, DoesNotCutOffSymbolStringsThatRunIntoTheLastSection) {
  const TTestProgram program = SymbolProgram(false);
  std::vector<uint8_t> built = WithDataResources(program.Image, {{u"SETUP", Bytes("first")}});
  const size_t strings_length = program.SymbolsOffset + 2 * 18;
  const Section last = SectionsOf(built).back();
  ASSERT_GT(last.RawOffset, strings_length);
  WriteTest32(built, strings_length, static_cast<uint32_t>(last.RawOffset - strings_length + 0x10));
  WriteTest32(built, Headers(built).Optional + 64, PeImageChecksum(built));
  const std::vector<uint8_t> before = built;

  const std::vector<uint8_t> rebuilt = WithDataResources(built, {{u"SETUP", Bytes("second")}});
  ExpectSoundHeaders(rebuilt);
  EXPECT_EQ(SectionsOf(rebuilt).size(), SectionsOf(before).size() + 1);
  EXPECT_TRUE(std::equal(before.begin() + static_cast<ptrdiff_t>(program.SymbolsOffset),
                         before.begin() + static_cast<ptrdiff_t>(last.RawOffset + 0x10),
                         rebuilt.begin() + static_cast<ptrdiff_t>(program.SymbolsOffset)));
}

TEST(PeResources, ReplacesEveryLanguageOfAPackageByOneInTheOldLanguage) {
  TTestProgramOptions options;
  options.Resources = {
      {10, u"SETUP", 0, 0x407, "German"}, {10, u"SETUP", 0, 0x409, "English"}, TestManifest()};
  const std::vector<uint8_t> built =
      WithDataResources(MakeTestProgram(options).Image, {{u"setup", Bytes("new")}});
  const std::vector<TPeResource> after = ReadResources(built);
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0].Name.Name, u"setup");
  EXPECT_EQ(after[0].Language, 0x407);
  EXPECT_EQ(DataOf(&after[0]), Bytes("new"));
  EXPECT_EQ(after[1].Type.Number, PeResourceTypeManifest);
}

// The shell shows the program's first icon group, for the file and for the uninstall entry
// that points at it: packing must keep the group and the icons it refers to, byte for byte,
// with the data resources placed between them in type order.
TEST(PeResources, KeepsTheIconsTheShellShows) {
  TTestProgramOptions options;
  options.Resources = {{3, {}, 1, 0x409, "16x16 icon bits"},
                       {3, {}, 2, 0x409, "32x32 icon bits"},
                       {14, {}, 1, 0x409, "group of icons 1 and 2"},
                       TestManifest()};
  const std::vector<uint8_t> built =
      WithDataResources(MakeTestProgram(options).Image, {{u"SETUP", Bytes("setup")}});
  ExpectSoundHeaders(built);
  const std::vector<TPeResource> after = ReadResources(built);
  std::vector<std::pair<uint16_t, uint16_t>> kinds;
  for (const TPeResource& resource : after) {
    kinds.emplace_back(resource.Type.Number, resource.Name.IsName ? 0 : resource.Name.Number);
  }
  EXPECT_EQ(kinds, (std::vector<std::pair<uint16_t, uint16_t>>{
                       {3, 1}, {3, 2}, {10, 0}, {14, 1}, {PeResourceTypeManifest, 1}}));
  ASSERT_EQ(after.size(), 5u);
  EXPECT_EQ(DataOf(&after[0]), Bytes("16x16 icon bits"));
  EXPECT_EQ(DataOf(&after[1]), Bytes("32x32 icon bits"));
  EXPECT_EQ(DataOf(&after[3]), Bytes("group of icons 1 and 2"));
  EXPECT_EQ(after[3].Language, 0x409);
}

TEST(PeResources, SortsNamesFirstByUpperCaseThenNumbers) {
  TTestProgramOptions options;
  options.Resources = {{10, u"Alpha", 0, 0x409, "a"},
                       {10, u"product_notes", 0, 0x409, "n"},
                       {10, u"zeta", 0, 0x409, "z"},
                       {10, {}, 7, 0x409, "7"}};
  const std::vector<uint8_t> built = WithDataResources(
      MakeTestProgram(options).Image,
      {{u"SETUP", Bytes("s")}, {u"PRODUCTS", Bytes("p")}, {u"PRODUCT", Bytes("p")}});
  std::vector<String> order;
  for (const TPeResource& resource : ReadResources(built)) {
    order.push_back(resource.Name.IsName
                        ? resource.Name.Name
                        : u"#" + String(1, static_cast<char16_t>(u'0' + resource.Name.Number)));
  }
  // Upper case puts "S" (0x53) before "_" (0x5F); lower case would not.
  EXPECT_EQ(order, (std::vector<String>{u"Alpha", u"PRODUCT", u"PRODUCTS", u"product_notes",
                                        u"SETUP", u"zeta", u"#7"}));
}

TEST(PeResources, ChecksumIsTheLinkers) {
  const std::vector<uint8_t> program = TinyProgram();
  const Headers headers(program);
  EXPECT_NE(ReadTest32(program, headers.Optional + 64), 0u);
  EXPECT_EQ(PeImageChecksum(program), ReadTest32(program, headers.Optional + 64));
}

// Resource writers may leave data past VirtualSize in the section's last page, which the
// loader maps from the file all the same (the system's own update API does when the new tree
// fits the old raw size).
TEST(PeResources, ReadsDataThatTheLoaderMapsPastTheVirtualSize) {
  TTestProgram program = ManifestProgram();
  WriteTest32(program.Image, program.SectionTableOffset + 40 + 8, 0x20);
  const std::vector<TPeResource> resources = ReadResources(program.Image);
  ASSERT_EQ(resources.size(), 1u);
  EXPECT_EQ(DataOf(&resources[0]), Bytes(TestManifest().Data));
}

TEST(PeResources, ReadsOnlyNamedDataResources) {
  TTestProgramOptions options;
  options.Resources = {{10, u"SETUP", 0, 0, "s"}, {10, {}, 1, 0, "numbered"}, TestManifest()};
  const std::vector<TDataResource> data = ReadDataResources(MakeTestProgram(options).Image);
  ASSERT_EQ(data.size(), 1u);
  EXPECT_EQ(data[0].Name, u"SETUP");
  EXPECT_EQ(data[0].Data, Bytes("s"));
  EXPECT_TRUE(ReadDataResources(MakeTestProgram({}).Image).empty());
}

struct RefusalCase {
  const char* Title;
  std::function<void(TTestProgram&)> Damage;
  const char16_t* Message;
};

class PeResourcesRefuses : public testing::TestWithParam<RefusalCase> {};

TEST_P(PeResourcesRefuses, WithOneCleanReason) {
  TTestProgram program = ManifestProgram();
  GetParam().Damage(program);
  try {
    WithDataResources(program.Image, {{u"SETUP", Bytes("s")}});
    FAIL() << "accepted";
  } catch (const EPeImageError& error) {
    EXPECT_NE(error.Message().find(GetParam().Message), String::npos)
        << StringToUtf8(error.Message());
  }
}

void Set32(TTestProgram& program, size_t offset, uint32_t value) {
  WriteTest32(program.Image, offset, value);
}
void Set16(TTestProgram& program, size_t offset, uint16_t value) {
  WriteTest16(program.Image, offset, value);
}
constexpr size_t Coff = 0x44;
constexpr size_t Optional = 0x58;

INSTANTIATE_TEST_SUITE_P(
    Programs, PeResourcesRefuses,
    testing::Values(
        RefusalCase{"Empty", [](TTestProgram& p) { p.Image.clear(); }, u"is not a Windows program"},
        RefusalCase{"NoMz", [](TTestProgram& p) { p.Image[0] = 'X'; }, u"is not a Windows program"},
        RefusalCase{"NewHeaderOutside", [](TTestProgram& p) { Set32(p, 0x3C, 0xFFFFFFF0); },
                    u"its headers are cut short"},
        RefusalCase{"NoPeSignature", [](TTestProgram& p) { p.Image[0x40] = 'X'; },
                    u"is not a Windows program"},
        RefusalCase{"CutInTheOptionalHeader", [](TTestProgram& p) { p.Image.resize(0x80); },
                    u"its headers are cut short"},
        RefusalCase{"Program32Bit", [](TTestProgram& p) { Set16(p, Optional, 0x10B); },
                    u"is a 32-bit program"},
        RefusalCase{"Arm64", [](TTestProgram& p) { Set16(p, Coff, 0xAA64); },
                    u"is not a program for x64 processors"},
        RefusalCase{"Library", [](TTestProgram& p) { Set16(p, Coff + 18, 0x2022); },
                    u"is a library (DLL)"},
        RefusalCase{"NotExecutable", [](TTestProgram& p) { Set16(p, Coff + 18, 0x0020); },
                    u"is not an executable image"},
        RefusalCase{"Signed",
                    [](TTestProgram& p) {
                      Set32(p, Optional + 112 + 32, 0x1600);
                      Set32(p, Optional + 112 + 36, 0x100);
                    },
                    u"is signed; adding resources would invalidate its signature"},
        RefusalCase{"OptionalHeaderTooSmall", [](TTestProgram& p) { Set16(p, Coff + 16, 100); },
                    u"its headers are cut short"},
        RefusalCase{"DirectoriesBeyondOptionalHeader",
                    [](TTestProgram& p) { Set16(p, Coff + 16, 112 + 8); },
                    u"its headers are cut short"},
        RefusalCase{"SectionTableCutShort", [](TTestProgram& p) { Set16(p, Coff + 2, 0xFFFF); },
                    u"its section table is cut short"},
        RefusalCase{"HeadersFull",
                    [](TTestProgram& p) { Set32(p, Optional + 60, p.SectionTableOffset + 3 * 40); },
                    u"has no room for another section"},
        RefusalCase{"BoundImportsAfterTheTable",
                    [](TTestProgram& p) { p.Image[p.SectionTableOffset + 3 * 40 + 4] = 1; },
                    u"has no room for another section"},
        RefusalCase{"NoResourceDirectoryEntry",
                    [](TTestProgram& p) { Set32(p, Optional + 108, 2); },
                    u"has no place for a resource directory"},
        RefusalCase{"SectionsOutOfOrder",
                    [](TTestProgram& p) { Set32(p, p.SectionTableOffset + 40 + 12, 0x1000); },
                    u"its sections overlap or are out of order"},
        RefusalCase{"UnalignedSection",
                    [](TTestProgram& p) { Set32(p, p.SectionTableOffset + 80 + 12, 0x3010); },
                    u"its sections overlap or are out of order"},
        RefusalCase{"OddFileAlignment", [](TTestProgram& p) { Set32(p, Optional + 36, 0x300); },
                    u"unusual section alignment"},
        RefusalCase{"HugeFileAlignment",
                    [](TTestProgram& p) { Set32(p, Optional + 36, 0x80000000); },
                    u"unusual section alignment"},
        // Headers that point past the end of the file: standard tools refuse such programs,
        // and a copy would carry the damage on.
        RefusalCase{"SectionDataOutside",
                    [](TTestProgram& p) { Set32(p, p.SectionTableOffset + 80 + 16, 0x10000); },
                    u"its section data lies outside the file"},
        RefusalCase{"RelocationsOutside",
                    [](TTestProgram& p) {
                      Set32(p, p.SectionTableOffset + 24, static_cast<uint32_t>(p.Image.size()));
                      Set16(p, p.SectionTableOffset + 32, 1);
                    },
                    u"its section relocation table lies outside the file"},
        RefusalCase{"LineNumbersOutside",
                    [](TTestProgram& p) { Set32(p, p.SectionTableOffset + 28, 0xFFFFFFF0); },
                    u"its line number table lies outside the file"},
        RefusalCase{"SymbolTableOutside",
                    [](TTestProgram& p) {
                      Set32(p, Coff + 8, static_cast<uint32_t>(p.Image.size() + 100));
                    },
                    u"its symbol table lies outside the file"},
        RefusalCase{"SymbolsRunPastTheEnd",
                    [](TTestProgram& p) {
                      p = SymbolProgram(true);
                      Set32(p, Coff + 12, 1000);
                    },
                    u"its symbol table lies outside the file"},
        RefusalCase{"SymbolStringsRunPastTheEnd",
                    [](TTestProgram& p) {
                      p = SymbolProgram(true);
                      Set32(p, p.SymbolsOffset + 2 * 18, 0x100000);
                    },
                    u"its symbol table lies outside the file"},
        RefusalCase{"SymbolStringsTooShort",
                    [](TTestProgram& p) {
                      p = SymbolProgram(true);
                      Set32(p, p.SymbolsOffset + 2 * 18, 2);
                    },
                    u"the string table of its symbols is too short"},
        RefusalCase{"DebugDirectoryOutsideTheSections",
                    [](TTestProgram& p) {
                      Set32(p, Optional + 112 + 48, 0x9000);
                      Set32(p, Optional + 112 + 52, 28);
                    },
                    u"its debug directory lies outside the file"},
        RefusalCase{"DebugDataOutside",
                    [](TTestProgram& p) {
                      // The debug directory in the section after the resources (at 0x3000).
                      const size_t raw = ReadTest32(p.Image, p.SectionTableOffset + 80 + 20);
                      Set32(p, Optional + 112 + 48, 0x3000);
                      Set32(p, Optional + 112 + 52, 28);
                      Set32(p, raw + 16, 0x100);
                      Set32(p, raw + 24, 0xFFFFFF00);
                    },
                    u"its debug data lies outside the file"},
        RefusalCase{"SizeInMemoryLeavesOutASection",
                    [](TTestProgram& p) { Set32(p, Optional + 56, 0x3000); },
                    u"its size in memory leaves out a section"}),
    CaseTitle());

// The manifest program's tree: the root (entry at 16), the name directory at 24 (entry at 40),
// the language directory at 48 (entry at 64), the data entry at 72, the data at 88.
class PeResourcesRefusesTree : public testing::TestWithParam<RefusalCase> {};

TEST_P(PeResourcesRefusesTree, AsDamagedWhenReadingAndWriting) {
  TTestProgram program = ManifestProgram();
  GetParam().Damage(program);
  for (const auto& operation : std::vector<std::function<void()>>{
           [&] { ReadResources(program.Image); }, [&] { WithDataResources(program.Image, {}); }}) {
    try {
      operation();
      ADD_FAILURE() << "accepted";
    } catch (const EPeImageError& error) {
      EXPECT_NE(error.Message().find(u"has a damaged resource directory"), String::npos);
      EXPECT_NE(error.Message().find(GetParam().Message), String::npos)
          << StringToUtf8(error.Message());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Trees, PeResourcesRefusesTree,
    testing::Values(
        RefusalCase{"LoopToTheRoot",
                    [](TTestProgram& p) { Set32(p, p.ResourceOffset + 44, 0x80000000); },
                    u"a directory is reached twice"},
        RefusalCase{"DirectoryIsItsOwnChild",
                    [](TTestProgram& p) { Set32(p, p.ResourceOffset + 44, 0x80000000 | 24); },
                    u"a directory is reached twice"},
        RefusalCase{"HugeCount", [](TTestProgram& p) { Set16(p, p.ResourceOffset + 14, 0xFFFF); },
                    u"entries out of range"},
        RefusalCase{"DirectoryOutOfRange",
                    [](TTestProgram& p) { Set32(p, p.ResourceOffset + 20, 0xFFFFFFF0); },
                    u"damaged"},
        RefusalCase{"NameOutOfRange",
                    [](TTestProgram& p) {
                      Set16(p, p.ResourceOffset + 12, 1);
                      Set16(p, p.ResourceOffset + 14, 0);
                      Set32(p, p.ResourceOffset + 16, 0xFFFFFFFF);
                    },
                    u"damaged"},
        RefusalCase{"NameLongerThanTheSection",
                    [](TTestProgram& p) {
                      Set16(p, p.ResourceOffset + 12, 1);
                      Set16(p, p.ResourceOffset + 14, 0);
                      Set32(p, p.ResourceOffset + 16, 0x80000000 | 88);
                      Set16(p, p.ResourceOffset + 88, 0xFFFF);
                    },
                    u"a name out of range"},
        RefusalCase{"NumberWhereANameBelongs",
                    [](TTestProgram& p) {
                      Set16(p, p.ResourceOffset + 12, 1);
                      Set16(p, p.ResourceOffset + 14, 0);
                    },
                    u"names and numbers out of place"},
        RefusalCase{"NumberOutOfRange",
                    [](TTestProgram& p) { Set32(p, p.ResourceOffset + 16, 0x10000); },
                    u"a number out of range"},
        RefusalCase{"LanguageByName",
                    [](TTestProgram& p) {
                      Set16(p, p.ResourceOffset + 48 + 12, 1);
                      Set16(p, p.ResourceOffset + 48 + 14, 0);
                      Set32(p, p.ResourceOffset + 64, 0x80000000 | 88);
                    },
                    u"a language given by name"},
        RefusalCase{"DataAtTheTypeLevel",
                    [](TTestProgram& p) { Set32(p, p.ResourceOffset + 20, 72); }, u"wrong depth"},
        RefusalCase{"DirectoryAtTheLanguageLevel",
                    [](TTestProgram& p) { Set32(p, p.ResourceOffset + 68, 0x80000000 | 48); },
                    u"wrong depth"},
        RefusalCase{"DataEntryOutOfRange",
                    [](TTestProgram& p) { Set32(p, p.ResourceOffset + 68, 0x7FFFFFF0); },
                    u"damaged"},
        RefusalCase{"DataOutOfRange",
                    [](TTestProgram& p) { Set32(p, p.ResourceOffset + 72, 0x7FFFFFFF); },
                    u"data out of range"},
        RefusalCase{"DataBeyondTheSection",
                    [](TTestProgram& p) { Set32(p, p.ResourceOffset + 76, 0x300); },
                    u"data out of range"},
        RefusalCase{"DataLargerThanTheFile",
                    [](TTestProgram& p) { Set32(p, p.ResourceOffset + 76, 0xFFFFFFFF); },
                    u"more data than the file holds"},
        RefusalCase{"DirectoryOutsideEverySection",
                    [](TTestProgram& p) { Set32(p, Optional + 112 + 16, 0x50000); },
                    u"out of range"},
        RefusalCase{"SameResourceTwice",
                    [](TTestProgram& p) {
                      TTestProgramOptions options;
                      options.Resources = {TestManifest(), TestManifest()};
                      p = MakeTestProgram(options);
                    },
                    u"a resource appears twice"}),
    CaseTitle());

// Whatever a file is cut to or whichever byte is damaged, the result is an answer or a clean
// refusal; the sanitizers catch any read outside the image.
TEST(PeResources, EveryCutAndEveryDamagedByteGivesAnAnswerOrAReason) {
  for (const std::vector<uint8_t>& program : {ManifestProgram().Image, TinyProgram()}) {
    const auto attempt = [](const std::vector<uint8_t>& image) {
      try {
        ReadResources(image);
        WithDataResources(image, {{u"SETUP", Bytes("s")}});
      } catch (const EPeImageError&) {
      }
    };
    for (size_t size = 0; size < program.size(); size += 7) {
      attempt(std::vector<uint8_t>(program.begin(), program.begin() + size));
    }
    for (size_t i = 0; i < program.size(); ++i) {
      std::vector<uint8_t> damaged = program;
      damaged[i] ^= 0xFF;
      attempt(damaged);
    }
  }
}

// Icons and version information: what the shell shows for a built setup and for the installed
// Uninstall.exe, which is a copy of it.

std::vector<TPeResource> OfType(const std::vector<TPeResource>& resources, uint16_t type) {
  std::vector<TPeResource> found;
  for (const TPeResource& resource : resources) {
    if (!resource.Type.IsName && resource.Type.Number == type) found.push_back(resource);
  }
  return found;
}

std::vector<uint16_t> GroupIds(const TPeResource& group) {
  const std::vector<uint8_t> bytes = DataOf(&group);
  std::vector<uint16_t> ids;
  for (size_t i = 0; i < ReadTest16(bytes, 4); ++i)
    ids.push_back(ReadTest16(bytes, 6 + 14 * i + 12));
  return ids;
}

const TPeResource* IconNumbered(const std::vector<TPeResource>& resources, uint16_t id) {
  for (const TPeResource& resource : resources) {
    if (!resource.Type.IsName && resource.Type.Number == 3 && !resource.Name.IsName &&
        resource.Name.Number == id) {
      return &resource;
    }
  }
  return nullptr;
}

TTestResource IconResource(uint16_t id, const TTestIconImage& image) {
  return {3, {}, id, 0x409, TestIconImageBytes(image)};
}

// The icon file's images become the program's: the group names each by a resource number
// whose bytes are the image's, in the file's order.
void ExpectIcons(const std::vector<TPeResource>& resources, const TPeResource& group,
                 const std::vector<TTestIconImage>& images) {
  const std::vector<uint16_t> ids = GroupIds(group);
  ASSERT_EQ(ids.size(), images.size());
  EXPECT_EQ(DataOf(&group), Bytes(MakeTestIconGroup(images, ids)));
  for (size_t i = 0; i < ids.size(); ++i) {
    const TPeResource* icon = IconNumbered(resources, ids[i]);
    ASSERT_NE(icon, nullptr) << ids[i];
    EXPECT_EQ(DataOf(icon), Bytes(TestIconImageBytes(images[i])));
    EXPECT_EQ(icon->Language, group.Language);
  }
}

TProgramBranding IconBranding(const std::vector<uint8_t>& icon_file) {
  TProgramBranding branding;
  branding.Icons = ReadIconFile(icon_file);
  return branding;
}

// The program's group 1 uses icons 1 and 2; a second group (7) uses 2 and 3. Replacing group 1
// drops icon 1, which nothing names any more, keeps 2 and 3, and numbers the new icons around
// them. (The program's own icons are small: the test program has one page per section.)
TEST(PeResourcesBranding, ReplacesTheFirstIconGroupAndDropsIconsNoGroupUses) {
  TTestProgramOptions options;
  options.Resources = {IconResource(1, {16, false, 1}),
                       IconResource(2, {16, false, 2}),
                       IconResource(3, {16, false, 3}),
                       {14, {}, 1, 0x409, MakeTestIconGroup({{16}, {16}}, {1, 2})},
                       {14, {}, 7, 0x409, MakeTestIconGroup({{16}, {16}}, {2, 3})},
                       TestManifest()};
  const std::vector<TTestIconImage> images = {{16, false, 0xFF123456}, {24}, {256, true}, {64}};
  const std::vector<uint8_t> icon_file = Bytes(MakeTestIconFile(images));
  const std::vector<uint8_t> built = WithDataResources(
      MakeTestProgram(options).Image, {{u"SETUP", Bytes("s")}}, IconBranding(icon_file));
  ExpectSoundHeaders(built);

  const std::vector<TPeResource> after = ReadResources(built);
  const std::vector<TPeResource> groups = OfType(after, 14);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].Name.Number, 1);
  EXPECT_EQ(groups[0].Language, 0x409);
  ExpectIcons(after, groups[0], images);
  EXPECT_EQ(GroupIds(groups[0]), (std::vector<uint16_t>{1, 4, 5, 6}));
  // The other group and its icons stay as they were.
  EXPECT_EQ(DataOf(&groups[1]), Bytes(MakeTestIconGroup({{16}, {16}}, {2, 3})));
  EXPECT_EQ(DataOf(IconNumbered(after, 2)), Bytes(TestIconImageBytes({16, false, 2})));
  EXPECT_EQ(DataOf(IconNumbered(after, 3)), Bytes(TestIconImageBytes({16, false, 3})));
  EXPECT_EQ(OfType(after, 3).size(), 6u);
  EXPECT_EQ(DataOf(FindResource(after, PeResourceTypeData, u"SETUP")), Bytes("s"));
  EXPECT_EQ(OfType(after, PeResourceTypeManifest).size(), 1u);
}

// Building again with another icon leaves one group and only its icons: a program does not
// collect the icons of every earlier build.
TEST(PeResourcesBranding, BuildingAgainLeavesOnlyTheLastIcons) {
  TTestProgramOptions options;
  options.Resources = {{3, {}, 1, 0x407, TestIconImageBytes({16})},
                       {14, u"MAINICON", 0, 0x407, MakeTestIconGroup({{16}}, {1})},
                       TestManifest()};
  const std::vector<uint8_t> first_icon = Bytes(MakeTestIconFile({{16}, {32}, {48}}));
  const std::vector<uint8_t> second_icon = Bytes(MakeTestIconFile({{256, true}}));
  const std::vector<uint8_t> first =
      WithDataResources(MakeTestProgram(options).Image, {}, IconBranding(first_icon));
  const std::vector<uint8_t> second = WithDataResources(first, {}, IconBranding(second_icon));
  ExpectSoundHeaders(second);
  const std::vector<TPeResource> after = ReadResources(second);
  const std::vector<TPeResource> groups = OfType(after, 14);
  ASSERT_EQ(groups.size(), 1u);
  // The group keeps its name and its language, so that it stays the one the shell shows.
  EXPECT_EQ(groups[0].Name.Name, u"MAINICON");
  EXPECT_EQ(groups[0].Language, 0x407);
  ExpectIcons(after, groups[0], {{256, true}});
  EXPECT_EQ(OfType(after, 3).size(), 1u);
}

TEST(PeResourcesBranding, AddsAnIconGroupToAProgramWithoutOne) {
  const std::vector<TTestIconImage> images = {{16}, {32}};
  const std::vector<uint8_t> icon_file = Bytes(MakeTestIconFile(images));
  for (const auto& [program, language] : {std::pair{ManifestProgram().Image, uint16_t{0x409}},
                                          std::pair{MakeTestProgram({}).Image, uint16_t{0}}}) {
    const std::vector<uint8_t> built = WithDataResources(program, {}, IconBranding(icon_file));
    const std::vector<TPeResource> after = ReadResources(built);
    const std::vector<TPeResource> groups = OfType(after, 14);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].Name.Number, 1);
    EXPECT_EQ(groups[0].Language, language);
    ExpectIcons(after, groups[0], images);
  }
}

// A group that cannot be read might name any icon, so none is dropped on its account.
TEST(PeResourcesBranding, KeepsEveryIconWhenAnotherGroupCannotBeRead) {
  TTestProgramOptions options;
  options.Resources = {IconResource(1, {16}),
                       IconResource(2, {16, false, 2}),
                       {14, {}, 1, 0x409, MakeTestIconGroup({{16}}, {1})},
                       {14, {}, 2, 0x409, "damaged"}};
  const std::vector<uint8_t> icon_file = Bytes(MakeTestIconFile({{48}}));
  const std::vector<uint8_t> built =
      WithDataResources(MakeTestProgram(options).Image, {}, IconBranding(icon_file));
  const std::vector<TPeResource> after = ReadResources(built);
  EXPECT_NE(IconNumbered(after, 1), nullptr);
  EXPECT_NE(IconNumbered(after, 2), nullptr);
  EXPECT_EQ(GroupIds(OfType(after, 14)[0]), (std::vector<uint16_t>{3}));
}

TVersionInfo VersionOf(const std::vector<uint8_t>& image, uint16_t language) {
  for (const TPeResource& resource : ReadResources(image)) {
    if (!resource.Type.IsName && resource.Type.Number == PeResourceTypeVersion) {
      EXPECT_EQ(resource.Language, language);
      EXPECT_EQ(resource.Name.Number, 1);
      return DecodeVersionResource(resource.Data);
    }
  }
  ADD_FAILURE() << "no version resource";
  return {};
}

TProgramBranding VersionBranding() {
  TVersionInfo info;
  info.FileVersion = info.ProductVersion = {5, 0, 3, 1};
  info.Strings = {{u"ProductName", u"ZELO"}, {u"CompanyName", u"ZELO Team"}};
  TProgramBranding branding;
  branding.Version = info;
  return branding;
}

// The program's version information gives way to the product's, in the program's language; a
// program without any gets it in U.S. English.
TEST(PeResourcesBranding, ReplacesOrAddsTheVersionResource) {
  TTestProgramOptions german;
  german.Resources = {{16, {}, 1, 0x407, "old version bytes"},
                      {16, {}, 1, 0x409, "old English version bytes"},
                      TestManifest()};
  const struct {
    const char* Title;
    std::vector<uint8_t> Program;
    uint16_t Language;
  } cases[] = {{"German", MakeTestProgram(german).Image, 0x407},
               {"RealLinkerOutput", TinyProgram(), 0x409},
               {"NoResources", MakeTestProgram({}).Image, 0x409}};
  for (const auto& [title, program, language] : cases) {
    SCOPED_TRACE(title);
    const std::vector<uint8_t> built =
        WithDataResources(program, {{u"SETUP", Bytes("s")}}, VersionBranding());
    ExpectSoundHeaders(built);
    EXPECT_EQ(OfType(ReadResources(built), PeResourceTypeVersion).size(), 1u);
    const TVersionInfo info = VersionOf(built, language);
    EXPECT_EQ(info.Language, language);
    EXPECT_EQ(info.FileVersion, (TVersionNumbers{5, 0, 3, 1}));
    EXPECT_EQ(info.Strings, VersionBranding().Version->Strings);
    // Building again replaces it once more rather than adding one.
    const std::vector<uint8_t> again = WithDataResources(built, {}, VersionBranding());
    EXPECT_EQ(OfType(ReadResources(again), PeResourceTypeVersion).size(), 1u);
    EXPECT_EQ(again.size(), built.size());
  }
}

// Where the headers point, as lint reports it: nothing for sound programs, and each fault
// named by its field.
TEST(PeResourcesLayout, FindsNothingInSoundPrograms) {
  EXPECT_EQ(CheckProgramLayout(TinyProgram()), std::vector<String>{});
  EXPECT_EQ(CheckProgramLayout(SymbolProgram(true).Image), std::vector<String>{});
  EXPECT_EQ(CheckProgramLayout(WithDataResources(TinyProgram(), {{u"SETUP", Bytes("s")}})),
            std::vector<String>{});
}

struct LayoutCase {
  const char* Title;
  std::function<void(TTestProgram&)> Damage;
  std::vector<const char16_t*> Problems;  // the start of each, in order
};

class PeResourcesLayoutFinds : public testing::TestWithParam<LayoutCase> {};

TEST_P(PeResourcesLayoutFinds, EachFaultNamingItsField) {
  TTestProgram program = ManifestProgram();
  GetParam().Damage(program);
  const std::vector<String> problems = CheckProgramLayout(program.Image);
  ASSERT_EQ(problems.size(), GetParam().Problems.size()) << [&] {
    std::string all;
    for (const String& problem : problems) all += StringToUtf8(problem) + "\n";
    return all;
  }();
  for (size_t i = 0; i < problems.size(); ++i) {
    EXPECT_EQ(problems[i].rfind(GetParam().Problems[i], 0), 0u) << StringToUtf8(problems[i]);
  }
}

// The manifest program: .text at file 0x400, .rsrc at 0x600, .data at 0x800, 0x200 bytes each
// and at 0x1000, 0x2000 and 0x3000 in memory (.data 0x10 bytes long); 0xA00 bytes in all.
INSTANTIATE_TEST_SUITE_P(
    Programs, PeResourcesLayoutFinds,
    testing::Values(
        LayoutCase{"SectionPastTheEnd",
                   [](TTestProgram& p) { Set32(p, p.SectionTableOffset + 80 + 20, 0x10000); },
                   {u"its section data lies outside the file (section .data: PointerToRawData "
                    u"0x10000 + SizeOfRawData 0x200; the file has 0xA00 bytes)"}},
        LayoutCase{"SymbolTablePastTheEnd",
                   [](TTestProgram& p) {
                     Set32(p, Coff + 8, 0x20000);
                     Set32(p, Coff + 12, 3);
                   },
                   {u"its symbol table lies outside the file (PointerToSymbolTable 0x20000, "
                    u"NumberOfSymbols 0x3; the file has 0xA00 bytes)"}},
        LayoutCase{"SymbolTableInsideASection",
                   [](TTestProgram& p) {
                     Set32(p, Coff + 8, 0x900);
                     Set32(p, 0x900, 4);  // an empty string table
                   },
                   {u"its symbol table lies inside section .data (PointerToSymbolTable 0x900)"}},
        LayoutCase{"CertificateTablePastTheEnd",
                   [](TTestProgram& p) {
                     Set32(p, Optional + 112 + 32, 0x900);
                     Set32(p, Optional + 112 + 36, 0x400);
                   },
                   {u"its signature lies outside the file (certificate table at 0x900, size "
                    u"0x400;"}},
        LayoutCase{"DebugDataPastTheEnd",
                   [](TTestProgram& p) {
                     const size_t raw = ReadTest32(p.Image, p.SectionTableOffset + 80 + 20);
                     Set32(p, Optional + 112 + 48, 0x3000);
                     Set32(p, Optional + 112 + 52, 2 * 28);
                     Set32(p, raw + 28 + 16, 0x100);
                     Set32(p, raw + 28 + 24, 0xFFFFFF00);
                   },
                   {u"its debug data lies outside the file (debug directory entry 2: "
                    u"PointerToRawData 0xFFFFFF00, SizeOfData 0x100;"}},
        LayoutCase{"DebugDirectoryOutsideTheSections",
                   [](TTestProgram& p) {
                     Set32(p, Optional + 112 + 48, 0x9000);
                     Set32(p, Optional + 112 + 52, 28);
                   },
                   {u"its debug directory lies outside the file (debug directory at RVA 0x9000"}},
        LayoutCase{"SectionsShareBytes",
                   [](TTestProgram& p) { Set32(p, p.SectionTableOffset + 80 + 20, 0x700); },
                   {u"the bytes of two sections overlap in the file (section .rsrc: "
                    u"PointerToRawData 0x600, SizeOfRawData 0x200; section .data: "
                    u"PointerToRawData 0x700"}},
        LayoutCase{"SectionsOverlapInMemory",
                   [](TTestProgram& p) { Set32(p, p.SectionTableOffset + 80 + 12, 0x2000); },
                   {u"two sections overlap in memory or are out of order (section .rsrc"}},
        LayoutCase{"ResourceDataPastTheEnd",
                   [](TTestProgram& p) { Set32(p, p.ResourceOffset + 76, 0x300); },
                   {u"it has a damaged resource directory (data out of range)"}},
        // Every fault is reported, not only the first.
        LayoutCase{"SeveralAtOnce",
                   [](TTestProgram& p) {
                     Set32(p, p.SectionTableOffset + 16, 0x10000);
                     Set32(p, Coff + 8, 0x20000);
                     Set32(p, Optional + 56, 0x2000);
                   },
                   {u"its section data lies outside the file (section .text:",
                    u"its symbol table lies outside the file",
                    u"its size in memory leaves out a section (SizeOfImage 0x2000, the sections "
                    u"end at 0x3010)",
                    u"the bytes of two sections overlap in the file (section .text",
                    u"the bytes of two sections overlap in the file (section .text"}}),
    CaseTitle());

}  // namespace

// Resources of 64-bit Windows programs: the PE32+ header parser, the resource tree reader and
// the writer of a new resource section.
#include "tools/setupkit/pe_resources.h"

#include <algorithm>
#include <limits>
#include <list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace {

// Layout of the headers (little-endian throughout).
constexpr size_t DosHeaderSize = 64;
constexpr size_t DosNewHeaderOffsetField = 0x3C;
constexpr size_t SignatureSize = 4;
constexpr size_t CoffHeaderSize = 20;
constexpr size_t SectionHeaderSize = 40;
constexpr size_t SectionNameSize = 8;

constexpr uint16_t MachineAmd64 = 0x8664;
constexpr uint16_t OptionalMagicPe32 = 0x10B;
constexpr uint16_t OptionalMagicPe32Plus = 0x20B;
constexpr uint16_t FileExecutableImage = 0x0002;
constexpr uint16_t FileDll = 0x2000;

// Fields of the PE32+ optional header, by offset from its start.
constexpr size_t OptionalSizeOfInitializedData = 8;
constexpr size_t OptionalSectionAlignment = 32;
constexpr size_t OptionalFileAlignment = 36;
constexpr size_t OptionalSizeOfImage = 56;
constexpr size_t OptionalSizeOfHeaders = 60;
constexpr size_t OptionalCheckSum = 64;
constexpr size_t OptionalNumberOfRvaAndSizes = 108;
constexpr size_t OptionalDataDirectories = 112;
constexpr uint32_t MaximumDataDirectories = 16;

constexpr size_t DirectoryResources = 2;
constexpr size_t DirectoryCertificates = 4;
constexpr size_t DirectoryDebug = 6;

// Records that sit in the file outside any section and are found by file offset.
constexpr size_t CoffSymbolSize = 18;
constexpr size_t CoffRelocationSize = 10;
constexpr size_t CoffLineNumberSize = 6;
constexpr size_t DebugDirectoryEntrySize = 28;

constexpr uint32_t SectionInitializedData = 0x00000040;
constexpr uint32_t SectionMemoryRead = 0x40000000;

// The resource tree: a directory is a header and its entries; a leaf is a data entry.
constexpr size_t ResourceDirectorySize = 16;
constexpr size_t ResourceEntrySize = 8;
constexpr size_t ResourceDataEntrySize = 16;
constexpr uint32_t ResourceHighBit = 0x80000000;
// Type, name and language: the tree always has exactly these three levels.
constexpr int ResourceLevels = 3;
// Resource data is placed at this alignment, as resource compilers do.
constexpr size_t ResourceDataAlignment = 8;

// The language of a version resource added to a program that had none: U.S. English, which
// resource compilers write unless told otherwise.
constexpr uint16_t DefaultVersionLanguage = 0x0409;

constexpr char ResourceSectionName[] = ".rsrc";
// The page size of every Windows on x86 and x64.
constexpr uint32_t PageSize = 0x1000;
// What an old resource section is called once it no longer holds the tree, so that tools that
// look for ".rsrc" by name find the new one.
constexpr char RetiredResourceSectionName[] = ".oldrsrc";

[[noreturn]] void Fail(StringView message) {
  throw EPeImageError(String(message));
}

uint16_t Get16(std::span<const uint8_t> bytes, uint64_t offset, StringView what) {
  if (offset > bytes.size() || bytes.size() - offset < 2) Fail(what);
  return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

uint32_t Get32(std::span<const uint8_t> bytes, uint64_t offset, StringView what) {
  if (offset > bytes.size() || bytes.size() - offset < 4) Fail(what);
  return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<uint32_t>(bytes[offset + 2]) << 16 |
         static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

// Writing goes through at(): every offset is meant to be in range, and one that is not must
// stop the tool rather than damage memory.
void Put16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value) {
  bytes.at(offset) = static_cast<uint8_t>(value);
  bytes.at(offset + 1) = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
}

uint64_t AlignUp(uint64_t value, uint64_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

bool IsPowerOfTwo(uint32_t value) {
  return value != 0 && (value & (value - 1)) == 0;
}

struct TSection {
  size_t HeaderOffset = 0;
  std::string Name;
  uint32_t VirtualSize = 0;
  uint32_t VirtualAddress = 0;
  uint32_t SizeOfRawData = 0;
  uint32_t PointerToRawData = 0;
  // Object-file leftovers that some linkers still fill in; each is a file offset.
  uint32_t PointerToRelocations = 0;
  uint32_t PointerToLinenumbers = 0;
  uint16_t NumberOfRelocations = 0;
  uint16_t NumberOfLinenumbers = 0;

  // The size the loader gives the section in memory: linkers may leave VirtualSize 0.
  uint64_t MappedSize() const { return VirtualSize != 0 ? VirtualSize : SizeOfRawData; }
  // The part of the section in memory that comes from the file; the rest is zeros. The loader
  // maps whole pages, so file bytes past VirtualSize up to the next section boundary are there
  // too, and some resource writers do leave data there without raising VirtualSize.
  uint64_t FileBackedSize(uint32_t section_alignment) const {
    return std::min<uint64_t>(SizeOfRawData,
                              AlignUp(MappedSize(), std::max<uint32_t>(section_alignment, 1)));
  }
  uint64_t RawEnd() const { return uint64_t{PointerToRawData} + SizeOfRawData; }
};

struct TDataDirectory {
  uint32_t Rva = 0;
  uint32_t Size = 0;
};

struct TPeHeaders {
  size_t CoffOffset = 0;
  size_t OptionalOffset = 0;
  size_t SectionTableOffset = 0;
  uint16_t Machine = 0;
  uint16_t Characteristics = 0;
  uint32_t PointerToSymbolTable = 0;
  uint32_t NumberOfSymbols = 0;
  uint32_t SectionAlignment = 0;
  uint32_t FileAlignment = 0;
  uint32_t SizeOfHeaders = 0;
  uint32_t SizeOfInitializedData = 0;
  uint32_t SizeOfImage = 0;
  uint32_t DirectoryCount = 0;
  std::vector<TDataDirectory> Directories;
  std::vector<TSection> Sections;

  TDataDirectory Directory(size_t index) const {
    return index < Directories.size() ? Directories[index] : TDataDirectory{};
  }
  size_t DirectoryOffset(size_t index) const {
    return OptionalOffset + OptionalDataDirectories + index * 8;
  }
};

TPeHeaders ParseHeaders(std::span<const uint8_t> image) {
  constexpr StringView NotAProgram = u"is not a Windows program";
  if (image.size() < DosHeaderSize || image[0] != 'M' || image[1] != 'Z') Fail(NotAProgram);
  constexpr StringView CutShort = u"is not a Windows program (its headers are cut short)";
  TPeHeaders headers;
  const uint32_t pe_offset = Get32(image, DosNewHeaderOffsetField, CutShort);
  if (Get32(image, pe_offset, CutShort) != 0x00004550 /* "PE\0\0" */) Fail(NotAProgram);
  headers.CoffOffset = size_t{pe_offset} + SignatureSize;
  headers.Machine = Get16(image, headers.CoffOffset, CutShort);
  const uint16_t section_count = Get16(image, headers.CoffOffset + 2, CutShort);
  headers.PointerToSymbolTable = Get32(image, headers.CoffOffset + 8, CutShort);
  headers.NumberOfSymbols = Get32(image, headers.CoffOffset + 12, CutShort);
  const uint16_t optional_size = Get16(image, headers.CoffOffset + 16, CutShort);
  headers.Characteristics = Get16(image, headers.CoffOffset + 18, CutShort);
  headers.OptionalOffset = headers.CoffOffset + CoffHeaderSize;

  const uint16_t magic = Get16(image, headers.OptionalOffset, CutShort);
  if (magic == OptionalMagicPe32) Fail(u"is a 32-bit program; the setup program is a 64-bit one");
  if (magic != OptionalMagicPe32Plus) Fail(NotAProgram);
  if (optional_size < OptionalDataDirectories ||
      image.size() - headers.OptionalOffset < optional_size) {
    Fail(CutShort);
  }
  const size_t optional = headers.OptionalOffset;
  headers.SizeOfInitializedData = Get32(image, optional + OptionalSizeOfInitializedData, CutShort);
  headers.SectionAlignment = Get32(image, optional + OptionalSectionAlignment, CutShort);
  headers.FileAlignment = Get32(image, optional + OptionalFileAlignment, CutShort);
  headers.SizeOfHeaders = Get32(image, optional + OptionalSizeOfHeaders, CutShort);
  headers.SizeOfImage = Get32(image, optional + OptionalSizeOfImage, CutShort);
  // The loader reads at most 16 directories, whatever the count claims.
  headers.DirectoryCount = std::min(Get32(image, optional + OptionalNumberOfRvaAndSizes, CutShort),
                                    MaximumDataDirectories);
  if (OptionalDataDirectories + headers.DirectoryCount * 8 > optional_size) Fail(CutShort);
  for (uint32_t i = 0; i < headers.DirectoryCount; ++i) {
    headers.Directories.push_back({Get32(image, headers.DirectoryOffset(i), CutShort),
                                   Get32(image, headers.DirectoryOffset(i) + 4, CutShort)});
  }

  headers.SectionTableOffset = optional + optional_size;
  if ((image.size() - headers.SectionTableOffset) / SectionHeaderSize < section_count) {
    Fail(u"is damaged (its section table is cut short)");
  }
  for (uint16_t i = 0; i < section_count; ++i) {
    TSection section;
    section.HeaderOffset = headers.SectionTableOffset + size_t{i} * SectionHeaderSize;
    const auto name = image.subspan(section.HeaderOffset, SectionNameSize);
    section.Name.assign(name.begin(), std::find(name.begin(), name.end(), 0));
    section.VirtualSize = Get32(image, section.HeaderOffset + 8, CutShort);
    section.VirtualAddress = Get32(image, section.HeaderOffset + 12, CutShort);
    section.SizeOfRawData = Get32(image, section.HeaderOffset + 16, CutShort);
    section.PointerToRawData = Get32(image, section.HeaderOffset + 20, CutShort);
    section.PointerToRelocations = Get32(image, section.HeaderOffset + 24, CutShort);
    section.PointerToLinenumbers = Get32(image, section.HeaderOffset + 28, CutShort);
    section.NumberOfRelocations = Get16(image, section.HeaderOffset + 32, CutShort);
    section.NumberOfLinenumbers = Get16(image, section.HeaderOffset + 34, CutShort);
    headers.Sections.push_back(std::move(section));
  }
  return headers;
}

// The bytes from Rva to the end of the file-backed part of the section that holds Rva.
std::span<const uint8_t> BytesFromRva(std::span<const uint8_t> image, const TPeHeaders& headers,
                                      uint32_t rva) {
  for (const TSection& section : headers.Sections) {
    const uint64_t backed = section.FileBackedSize(headers.SectionAlignment);
    if (rva < section.VirtualAddress || rva - section.VirtualAddress >= backed) continue;
    const uint64_t start = uint64_t{section.PointerToRawData} + (rva - section.VirtualAddress);
    const uint64_t end = std::min<uint64_t>(section.PointerToRawData + backed, image.size());
    if (start >= end) break;
    return image.subspan(start, end - start);
  }
  return {};
}

String Hex(uint64_t value) {
  constexpr char16_t Digits[] = u"0123456789ABCDEF";
  String text;
  do {
    text.insert(text.begin(), Digits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return u"0x" + text;
}

String SectionName(const TSection& section) {
  return Utf8ToString(section.Name);
}

// A stretch of the file that a header field points at by file offset, so that rewriting the
// file must leave it where it is. Offsets are 64-bit: the sums of 32-bit fields cannot wrap.
struct TFileReference {
  uint64_t Offset = 0;
  uint64_t End = 0;
  StringView What;  // as it reads in "its ... lies outside the file"
  String Fields;    // the header fields and their values, for a maker to find them
};

// Every stretch of the file that the headers reach by file offset rather than through a
// section's address: the sections' bytes, their relocations and line numbers, the symbol
// table with the string table that follows it, the signature and the debug data. Tools read
// each of these straight from the file, and one left pointing at the wrong bytes makes them
// call the whole program damaged. What cannot even be followed far enough to know its extent
// goes into Problems instead.
std::vector<TFileReference> FileReferences(std::span<const uint8_t> image,
                                           const TPeHeaders& headers,
                                           std::vector<String>& problems) {
  std::vector<TFileReference> references;
  for (const TSection& section : headers.Sections) {
    const String name = u"section " + SectionName(section) + u": ";
    if (section.SizeOfRawData != 0) {
      references.push_back({section.PointerToRawData, section.RawEnd(), u"section data",
                            name + u"PointerToRawData " + Hex(section.PointerToRawData) +
                                u" + SizeOfRawData " + Hex(section.SizeOfRawData)});
    }
    if (section.PointerToRelocations != 0) {
      references.push_back({section.PointerToRelocations,
                            section.PointerToRelocations +
                                uint64_t{section.NumberOfRelocations} * CoffRelocationSize,
                            u"section relocation table",
                            name + u"PointerToRelocations " + Hex(section.PointerToRelocations) +
                                u", NumberOfRelocations " + Hex(section.NumberOfRelocations)});
    }
    if (section.PointerToLinenumbers != 0) {
      references.push_back({section.PointerToLinenumbers,
                            section.PointerToLinenumbers +
                                uint64_t{section.NumberOfLinenumbers} * CoffLineNumberSize,
                            u"line number table",
                            name + u"PointerToLinenumbers " + Hex(section.PointerToLinenumbers) +
                                u", NumberOfLinenumbers " + Hex(section.NumberOfLinenumbers)});
    }
  }
  if (headers.PointerToSymbolTable != 0) {
    const String fields = u"PointerToSymbolTable " + Hex(headers.PointerToSymbolTable) +
                          u", NumberOfSymbols " + Hex(headers.NumberOfSymbols);
    const uint64_t symbols_end =
        headers.PointerToSymbolTable + uint64_t{headers.NumberOfSymbols} * CoffSymbolSize;
    uint64_t end = symbols_end;
    // The string table (its length first, the length counting itself) follows the symbols;
    // a program whose symbols end the file simply has none.
    if (symbols_end < image.size()) {
      if (image.size() - symbols_end < 4) {
        end += 4;
      } else {
        const uint32_t strings = Get32(image, symbols_end, u"is damaged");
        if (strings < 4) {
          problems.push_back(u"the string table of its symbols is too short (" + fields +
                             u", string table length " + Hex(strings) + u")");
        }
        end += std::max<uint32_t>(strings, 4);
      }
    }
    references.push_back({headers.PointerToSymbolTable, end, u"symbol table", fields});
  }
  // The one directory whose address is a file offset: signatures are not mapped.
  if (const TDataDirectory signature = headers.Directory(DirectoryCertificates);
      signature.Size != 0) {
    references.push_back(
        {signature.Rva, uint64_t{signature.Rva} + signature.Size, u"signature",
         u"certificate table at " + Hex(signature.Rva) + u", size " + Hex(signature.Size)});
  }
  if (const TDataDirectory debug = headers.Directory(DirectoryDebug); debug.Rva != 0) {
    const std::span<const uint8_t> entries = BytesFromRva(image, headers, debug.Rva);
    if (entries.size() < debug.Size) {
      problems.push_back(u"its debug directory lies outside the file (debug directory at RVA " +
                         Hex(debug.Rva) + u", size " + Hex(debug.Size) + u")");
    } else {
      for (uint64_t at = 0; at + DebugDirectoryEntrySize <= debug.Size;
           at += DebugDirectoryEntrySize) {
        const uint32_t size = Get32(entries, at + 16, u"is damaged");
        const uint32_t pointer = Get32(entries, at + 24, u"is damaged");
        if (pointer != 0 && size != 0) {
          references.push_back({pointer, uint64_t{pointer} + size, u"debug data",
                                u"debug directory entry " +
                                    Utf8ToString(std::to_string(at / DebugDirectoryEntrySize + 1)) +
                                    u": PointerToRawData " + Hex(pointer) + u", SizeOfData " +
                                    Hex(size)});
        }
      }
    }
  }
  return references;
}

// What the loader and standard tools would find wrong with where the headers point: anything
// reached by file offset outside the file, a symbol table inside a section's bytes, a size in
// memory that leaves out a section. Each problem reads "its ... (the fields and their values)".
std::vector<String> FileLayoutProblems(std::span<const uint8_t> image, const TPeHeaders& headers) {
  std::vector<String> problems;
  const std::vector<TFileReference> references = FileReferences(image, headers, problems);
  for (const TFileReference& reference : references) {
    if (reference.End > image.size()) {
      problems.push_back(u"its " + String(reference.What) + u" lies outside the file (" +
                         reference.Fields + u"; the file has " + Hex(image.size()) + u" bytes)");
    }
  }
  // The symbol table sits apart from the sections; a pointer into a section's bytes is one that
  // was left behind when the sections moved.
  if (headers.PointerToSymbolTable != 0) {
    for (const TSection& section : headers.Sections) {
      if (section.SizeOfRawData != 0 && headers.PointerToSymbolTable >= section.PointerToRawData &&
          headers.PointerToSymbolTable < section.RawEnd()) {
        problems.push_back(u"its symbol table lies inside section " + SectionName(section) +
                           u" (PointerToSymbolTable " + Hex(headers.PointerToSymbolTable) + u")");
      }
    }
  }
  // The headers are loaded as one block from the start of the file; headers that claim more
  // than the file would have a new section placed inside them.
  if (headers.SizeOfHeaders > image.size()) {
    problems.push_back(u"its headers lie outside the file (SizeOfHeaders " +
                       Hex(headers.SizeOfHeaders) + u"; the file has " + Hex(image.size()) +
                       u" bytes)");
  }
  uint64_t end = 0;
  for (const TSection& section : headers.Sections) {
    end = std::max(end, uint64_t{section.VirtualAddress} + section.MappedSize());
  }
  if (headers.SizeOfImage < end) {
    problems.push_back(u"its size in memory leaves out a section (SizeOfImage " +
                       Hex(headers.SizeOfImage) + u", the sections end at " + Hex(end) + u")");
  }
  return problems;
}

// Raises EPeImageError, with the first problem, unless everything the headers reach by file
// offset is inside the file and the size in memory covers every section.
void CheckFileLayout(std::span<const uint8_t> image, const TPeHeaders& headers) {
  const std::vector<String> problems = FileLayoutProblems(image, headers);
  if (!problems.empty()) Fail(u"is damaged: " + problems.front());
}

char16_t FoldUpper(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
  if (c == 0xFF) return 0x178;
  return c;
}

// The order of names in a resource directory: compared as upper case, code unit by code unit,
// a shorter name before a longer one that begins with it. ASCII and Latin-1 letters are
// folded; other characters compare as they are (resource names are ASCII in practice).
int CompareResourceNames(StringView a, StringView b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const char16_t x = FoldUpper(a[i]), y = FoldUpper(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Within a directory the system expects the named entries first, in name order, then the
// numbered ones in ascending order; the loader searches them by halving.
int CompareIds(const TPeResourceId& a, const TPeResourceId& b) {
  if (a.IsName != b.IsName) return a.IsName ? -1 : 1;
  if (a.IsName) return CompareResourceNames(a.Name, b.Name);
  return a.Number == b.Number ? 0 : (a.Number < b.Number ? -1 : 1);
}

int CompareResources(const TPeResource& a, const TPeResource& b) {
  if (const int type = CompareIds(a.Type, b.Type); type != 0) return type;
  if (const int name = CompareIds(a.Name, b.Name); name != 0) return name;
  return a.Language == b.Language ? 0 : (a.Language < b.Language ? -1 : 1);
}

bool IsDataResourceNamed(const TPeResource& resource, StringView name) {
  return !resource.Type.IsName && resource.Type.Number == PeResourceTypeData &&
         resource.Name.IsName && SameResourceName(resource.Name.Name, name);
}

class TResourceTreeReader {
 public:
  TResourceTreeReader(std::span<const uint8_t> image, const TPeHeaders& headers,
                      std::span<const uint8_t> tree)
      : image_(image), headers_(headers), tree_(tree) {}

  std::vector<TPeResource> Read() {
    TPeResource path;
    ReadDirectory(0, 0, path);
    return std::move(resources_);
  }

 private:
  static constexpr StringView Damaged = u"has a damaged resource directory";

  [[noreturn]] static void FailDamaged(StringView why) {
    Fail(String(Damaged) + u" (" + String(why) + u")");
  }

  uint16_t Read16(uint64_t offset) const { return Get16(tree_, offset, Damaged); }
  uint32_t Read32(uint64_t offset) const { return Get32(tree_, offset, Damaged); }

  void ReadDirectory(uint32_t offset, int level, TPeResource& path) {
    // A tree has no shared nodes; a directory reached twice is a loop or a trap that would
    // multiply the work, and neither comes from a resource compiler.
    if (!directories_.insert(offset).second) FailDamaged(u"a directory is reached twice");
    const uint16_t named = Read16(uint64_t{offset} + 12);
    const uint16_t numbered = Read16(uint64_t{offset} + 14);
    const uint64_t count = uint64_t{named} + numbered;
    const uint64_t entries = uint64_t{offset} + ResourceDirectorySize;
    if (entries > tree_.size() || (tree_.size() - entries) / ResourceEntrySize < count) {
      FailDamaged(u"entries out of range");
    }
    // Directories that overlap could otherwise list the same bytes as entries again and again.
    entry_total_ += count;
    if (entry_total_ > tree_.size() / ResourceEntrySize) FailDamaged(u"too many entries");
    for (uint64_t i = 0; i < count; ++i) {
      const uint32_t name_field = Read32(entries + i * ResourceEntrySize);
      const uint32_t target = Read32(entries + i * ResourceEntrySize + 4);
      const bool is_name = (name_field & ResourceHighBit) != 0;
      if (is_name != (i < named)) FailDamaged(u"names and numbers out of place");
      TPeResourceId id;
      if (is_name) {
        if (level == ResourceLevels - 1) FailDamaged(u"a language given by name");
        id = TPeResourceId::FromName(ReadName(name_field & ~ResourceHighBit));
      } else {
        if (name_field > 0xFFFF) FailDamaged(u"a number out of range");
        id = TPeResourceId::FromNumber(static_cast<uint16_t>(name_field));
      }
      const bool is_directory = (target & ResourceHighBit) != 0;
      if (is_directory != (level < ResourceLevels - 1)) FailDamaged(u"wrong depth");
      if (level == 0) {
        path.Type = id;
      } else if (level == 1) {
        path.Name = id;
      } else {
        path.Language = id.Number;
      }
      if (is_directory) {
        ReadDirectory(target & ~ResourceHighBit, level + 1, path);
      } else {
        ReadData(target, path);
      }
    }
  }

  String ReadName(uint32_t offset) const {
    const uint16_t length = Read16(offset);
    const uint64_t start = uint64_t{offset} + 2;
    if ((tree_.size() - std::min<uint64_t>(start, tree_.size())) / 2 < length) {
      FailDamaged(u"a name out of range");
    }
    String name(length, u'\0');
    for (uint16_t i = 0; i < length; ++i) name[i] = static_cast<char16_t>(Read16(start + 2 * i));
    return name;
  }

  void ReadData(uint32_t offset, TPeResource& path) {
    const uint32_t rva = Read32(offset);
    const uint32_t size = Read32(uint64_t{offset} + 4);
    path.CodePage = Read32(uint64_t{offset} + 8);
    // Resources never share bytes, so together they are never larger than the image; a tree
    // whose entries claim more would make copies of the same bytes over and over.
    data_total_ += size;
    if (data_total_ > image_.size()) FailDamaged(u"more data than the file holds");
    const std::span<const uint8_t> bytes = BytesFromRva(image_, headers_, rva);
    if (bytes.size() < size) FailDamaged(u"data out of range");
    path.Data = bytes.first(size);
    resources_.push_back(path);
  }

  std::span<const uint8_t> image_;
  const TPeHeaders& headers_;
  std::span<const uint8_t> tree_;
  std::set<uint32_t> directories_;
  uint64_t entry_total_ = 0;
  uint64_t data_total_ = 0;
  std::vector<TPeResource> resources_;
};

// A new resource section for Resources, sorted as the loader expects, whose data entries point
// at Rva-relative addresses for a section placed at SectionRva.
std::vector<uint8_t> BuildResourceSection(std::vector<TPeResource> resources,
                                          uint32_t section_rva) {
  std::stable_sort(resources.begin(), resources.end(),
                   [](const auto& a, const auto& b) { return CompareResources(a, b) < 0; });

  struct TNameNode {
    const TPeResourceId* Id;
    std::vector<const TPeResource*> Languages;
    size_t Offset = 0;
  };
  struct TTypeNode {
    const TPeResourceId* Id;
    std::vector<TNameNode> Names;
    size_t Offset = 0;
  };
  std::vector<TTypeNode> types;
  for (const TPeResource& resource : resources) {
    if (types.empty() || CompareIds(*types.back().Id, resource.Type) != 0) {
      types.push_back({&resource.Type, {}});
    }
    std::vector<TNameNode>& names = types.back().Names;
    if (names.empty() || CompareIds(*names.back().Id, resource.Name) != 0) {
      names.push_back({&resource.Name, {}});
    }
    names.back().Languages.push_back(&resource);
  }

  // Directories first (the root, then each type's names, then each name's languages), then the
  // data entries, the name strings, and the data itself.
  size_t offset = ResourceDirectorySize + types.size() * ResourceEntrySize;
  for (TTypeNode& type : types) {
    type.Offset = offset;
    offset += ResourceDirectorySize + type.Names.size() * ResourceEntrySize;
  }
  for (TTypeNode& type : types) {
    for (TNameNode& name : type.Names) {
      name.Offset = offset;
      offset += ResourceDirectorySize + name.Languages.size() * ResourceEntrySize;
    }
  }
  const size_t data_entries = offset;
  offset += resources.size() * ResourceDataEntrySize;
  std::map<const TPeResourceId*, size_t> string_offsets;
  for (const TTypeNode& type : types) {
    if (type.Id->IsName) {
      string_offsets[type.Id] = std::exchange(offset, offset + 2 + 2 * type.Id->Name.size());
    }
    for (const TNameNode& name : type.Names) {
      if (name.Id->IsName) {
        string_offsets[name.Id] = std::exchange(offset, offset + 2 + 2 * name.Id->Name.size());
      }
    }
  }
  std::vector<size_t> data_offsets;
  for (const TPeResource& resource : resources) {
    offset = AlignUp(offset, ResourceDataAlignment);
    data_offsets.push_back(offset);
    offset += resource.Data.size();
  }
  if (offset > std::numeric_limits<uint32_t>::max() - section_rva) {
    Fail(u"cannot hold resources of 4 GB or more");
  }

  std::vector<uint8_t> section(offset, 0);
  const auto write_directory = [&](size_t at, uint16_t named, uint16_t numbered) {
    Put16(section, at + 12, named);
    Put16(section, at + 14, numbered);
    return at + ResourceDirectorySize;
  };
  const auto id_field = [&](const TPeResourceId& id) {
    return id.IsName ? ResourceHighBit | static_cast<uint32_t>(string_offsets.at(&id))
                     : uint32_t{id.Number};
  };
  const auto count_names = [](const auto& nodes, const auto& id_of) {
    return static_cast<uint16_t>(
        std::count_if(nodes.begin(), nodes.end(), [&](const auto& n) { return id_of(n).IsName; }));
  };
  const auto type_id = [](const TTypeNode& node) -> const TPeResourceId& { return *node.Id; };
  const auto name_id = [](const TNameNode& node) -> const TPeResourceId& { return *node.Id; };

  const uint16_t named_types = count_names(types, type_id);
  size_t entry = write_directory(0, named_types, static_cast<uint16_t>(types.size() - named_types));
  for (const TTypeNode& type : types) {
    Put32(section, entry, id_field(*type.Id));
    Put32(section, entry + 4, ResourceHighBit | static_cast<uint32_t>(type.Offset));
    entry += ResourceEntrySize;
  }
  size_t resource_index = 0;
  for (const TTypeNode& type : types) {
    const uint16_t named_names = count_names(type.Names, name_id);
    entry = write_directory(type.Offset, named_names,
                            static_cast<uint16_t>(type.Names.size() - named_names));
    for (const TNameNode& name : type.Names) {
      Put32(section, entry, id_field(*name.Id));
      Put32(section, entry + 4, ResourceHighBit | static_cast<uint32_t>(name.Offset));
      entry += ResourceEntrySize;
      size_t language_entry =
          write_directory(name.Offset, 0, static_cast<uint16_t>(name.Languages.size()));
      for (const TPeResource* resource : name.Languages) {
        const size_t data_entry = data_entries + resource_index * ResourceDataEntrySize;
        Put32(section, language_entry, resource->Language);
        Put32(section, language_entry + 4, static_cast<uint32_t>(data_entry));
        language_entry += ResourceEntrySize;
        const size_t data = data_offsets[resource_index];
        Put32(section, data_entry, section_rva + static_cast<uint32_t>(data));
        Put32(section, data_entry + 4, static_cast<uint32_t>(resource->Data.size()));
        Put32(section, data_entry + 8, resource->CodePage);
        std::copy(resource->Data.begin(), resource->Data.end(), section.begin() + data);
        ++resource_index;
      }
    }
  }
  for (const auto& [id, at] : string_offsets) {
    Put16(section, at, static_cast<uint16_t>(id->Name.size()));
    for (size_t i = 0; i < id->Name.size(); ++i) Put16(section, at + 2 + 2 * i, id->Name[i]);
  }
  return section;
}

// Whether the resources sit alone in the last section, at the end of the file, as this module
// writes them: then that section can be replaced instead of leaving a dead copy behind.
bool IsReplaceableResourceSection(std::span<const uint8_t> image, const TPeHeaders& headers,
                                  size_t index) {
  const TSection& section = headers.Sections[index];
  if (index + 1 != headers.Sections.size() || section.Name != ResourceSectionName ||
      section.VirtualAddress != headers.Directory(DirectoryResources).Rva ||
      section.RawEnd() != image.size()) {
    return false;
  }
  // Everything before the section's bytes stays, the headers included.
  const uint64_t table_end =
      headers.SectionTableOffset + headers.Sections.size() * SectionHeaderSize;
  if (section.PointerToRawData < std::max<uint64_t>(headers.SizeOfHeaders, table_end)) return false;
  // Every other section ends in memory where the resources begin, or before. An empty one may
  // start right there: the writer itself puts new resources at such a section's address.
  for (size_t i = 0; i < index; ++i) {
    const TSection& other = headers.Sections[i];
    if (other.VirtualAddress + other.MappedSize() > section.VirtualAddress) return false;
  }
  // Cutting the file at the section must take nothing that another header field points at:
  // another section's bytes, the symbols and their strings, debug data.
  std::vector<String> problems;  // none: the image passed CheckFileLayout
  for (const TFileReference& reference : FileReferences(image, headers, problems)) {
    if (reference.Offset == section.PointerToRawData && reference.End == section.RawEnd()) {
      continue;  // the section itself
    }
    if (reference.End > section.PointerToRawData) return false;
  }
  return true;
}

// The language most of the program's resources use (windres writes U.S. English for all of
// them unless told otherwise); neutral in a program without resources.
uint16_t MostUsedLanguage(const std::vector<TPeResource>& resources) {
  std::map<uint16_t, int> uses;
  for (const TPeResource& entry : resources) ++uses[entry.Language];
  uint16_t most_used = 0;
  int most = 0;
  for (const auto& [language, count] : uses) {
    if (count > most) {
      most = count;
      most_used = language;
    }
  }
  return most_used;
}

bool IsOfType(const TPeResource& resource, uint16_t type) {
  return !resource.Type.IsName && resource.Type.Number == type;
}

// The first resource of the type in the order of the tree: the one the shell and the version
// API take when they are not told which.
const TPeResource* FirstOfType(const std::vector<TPeResource>& resources, uint16_t type) {
  const TPeResource* first = nullptr;
  for (const TPeResource& resource : resources) {
    if (IsOfType(resource, type) && (first == nullptr || CompareResources(resource, *first) < 0)) {
      first = &resource;
    }
  }
  return first;
}

// Replaces the program's first icon group, the one the shell shows for the file, by a group of
// Images, keeping its name and language so that it stays the first. The icons no group names
// any more go; when another group cannot be read its icons cannot be told apart, so all stay.
// The new icons take numbers no remaining icon has. Made keeps the new group's bytes.
void ReplaceIcons(std::vector<TPeResource>& entries, const std::vector<TIconImage>& images,
                  std::list<std::vector<uint8_t>>& made) {
  const TPeResource* first = FirstOfType(entries, PeResourceTypeIconGroup);
  const TPeResourceId group_id = first != nullptr ? first->Name : TPeResourceId::FromNumber(1);
  const uint16_t language = first != nullptr ? first->Language : MostUsedLanguage(entries);
  std::erase_if(entries, [&](const TPeResource& entry) {
    return IsOfType(entry, PeResourceTypeIconGroup) && CompareIds(entry.Name, group_id) == 0;
  });

  std::set<uint16_t> named;
  bool all_known = true;
  for (const TPeResource& entry : entries) {
    if (!IsOfType(entry, PeResourceTypeIconGroup)) continue;
    try {
      for (const uint16_t id : IconGroupIds(entry.Data)) named.insert(id);
    } catch (const EIconFileError&) {
      all_known = false;
    }
  }
  if (all_known) {
    std::erase_if(entries, [&](const TPeResource& entry) {
      return IsOfType(entry, PeResourceTypeIcon) &&
             (entry.Name.IsName || named.count(entry.Name.Number) == 0);
    });
  }

  std::set<uint16_t> taken;
  for (const TPeResource& entry : entries) {
    if (IsOfType(entry, PeResourceTypeIcon) && !entry.Name.IsName) taken.insert(entry.Name.Number);
  }
  std::vector<uint16_t> ids;
  uint32_t next = 1;
  for (const TIconImage& image : images) {
    while (taken.count(static_cast<uint16_t>(next)) != 0) ++next;
    if (next > 0xFFFF) Fail(u"has no free numbers left for icons");
    ids.push_back(static_cast<uint16_t>(next));
    entries.push_back({TPeResourceId::FromNumber(PeResourceTypeIcon),
                       TPeResourceId::FromNumber(static_cast<uint16_t>(next)), language, 0,
                       image.Data});
    ++next;
  }
  made.push_back(EncodeIconGroup(images, ids));
  entries.push_back(
      {TPeResourceId::FromNumber(PeResourceTypeIconGroup), group_id, language, 0, made.back()});
}

// Replaces the program's version resource (every language of it) by one of Info in the
// language the first one had, or adds one in U.S. English, the language resource compilers
// write by default. Made keeps its bytes.
void ReplaceVersion(std::vector<TPeResource>& entries, TVersionInfo info,
                    std::list<std::vector<uint8_t>>& made) {
  const TPeResource* first = FirstOfType(entries, PeResourceTypeVersion);
  const TPeResourceId id = first != nullptr ? first->Name : TPeResourceId::FromNumber(1);
  info.Language = first != nullptr ? first->Language : DefaultVersionLanguage;
  std::erase_if(entries,
                [](const TPeResource& entry) { return IsOfType(entry, PeResourceTypeVersion); });
  made.push_back(EncodeVersionResource(info));
  entries.push_back(
      {TPeResourceId::FromNumber(PeResourceTypeVersion), id, info.Language, 0, made.back()});
}

// Sections whose bytes share part of the file, or whose places in memory overlap or come out of
// order: the loader refuses the second, and no linker writes the first.
std::vector<String> SectionOverlapProblems(const TPeHeaders& headers) {
  std::vector<String> problems;
  const auto raw = [](const TSection& section) {
    return u"section " + SectionName(section) + u": PointerToRawData " +
           Hex(section.PointerToRawData) + u", SizeOfRawData " + Hex(section.SizeOfRawData);
  };
  for (size_t i = 0; i < headers.Sections.size(); ++i) {
    const TSection& a = headers.Sections[i];
    if (a.SizeOfRawData == 0) continue;
    for (size_t j = i + 1; j < headers.Sections.size(); ++j) {
      const TSection& b = headers.Sections[j];
      if (b.SizeOfRawData == 0) continue;
      if (a.PointerToRawData < b.RawEnd() && b.PointerToRawData < a.RawEnd()) {
        problems.push_back(u"the bytes of two sections overlap in the file (" + raw(a) + u"; " +
                           raw(b) + u")");
      }
    }
  }
  for (size_t i = 1; i < headers.Sections.size(); ++i) {
    const TSection& before = headers.Sections[i - 1];
    const TSection& section = headers.Sections[i];
    if (section.VirtualAddress < uint64_t{before.VirtualAddress} + before.MappedSize()) {
      problems.push_back(u"two sections overlap in memory or are out of order (section " +
                         SectionName(before) + u": VirtualAddress " + Hex(before.VirtualAddress) +
                         u", VirtualSize " + Hex(before.MappedSize()) + u"; section " +
                         SectionName(section) + u": VirtualAddress " + Hex(section.VirtualAddress) +
                         u")");
    }
  }
  return problems;
}

}  // namespace

bool SameResourceName(StringView a, StringView b) {
  return a.size() == b.size() && CompareResourceNames(a, b) == 0;
}

void CheckProgramImage(std::span<const uint8_t> image) {
  const TPeHeaders headers = ParseHeaders(image);
  if (headers.Machine != MachineAmd64) Fail(u"is not a program for x64 processors");
  if ((headers.Characteristics & FileDll) != 0) Fail(u"is a library (DLL), not a program");
  if ((headers.Characteristics & FileExecutableImage) == 0) Fail(u"is not an executable image");
  if (headers.Directory(DirectoryCertificates).Size != 0) {
    Fail(u"is signed; adding resources would invalidate its signature");
  }
  CheckFileLayout(image, headers);
}

std::vector<String> CheckProgramLayout(std::span<const uint8_t> image) {
  const TPeHeaders headers = ParseHeaders(image);
  std::vector<String> problems = FileLayoutProblems(image, headers);
  for (String& problem : SectionOverlapProblems(headers)) problems.push_back(std::move(problem));
  // The resource tree's data entries are file positions too, reached through the sections.
  try {
    ReadResources(image);
  } catch (const EPeImageError& error) {
    problems.push_back(u"it " + error.Message());
  }
  return problems;
}

std::vector<TPeResource> ReadResources(std::span<const uint8_t> image) {
  const TPeHeaders headers = ParseHeaders(image);
  const uint32_t rva = headers.Directory(DirectoryResources).Rva;
  if (rva == 0) return {};
  const std::span<const uint8_t> tree = BytesFromRva(image, headers, rva);
  if (tree.empty()) Fail(u"has a damaged resource directory (out of range)");
  std::vector<TPeResource> resources = TResourceTreeReader(image, headers, tree).Read();
  std::vector<const TPeResource*> sorted;
  for (const TPeResource& resource : resources) sorted.push_back(&resource);
  std::sort(sorted.begin(), sorted.end(),
            [](const auto* a, const auto* b) { return CompareResources(*a, *b) < 0; });
  for (size_t i = 1; i < sorted.size(); ++i) {
    if (CompareResources(*sorted[i - 1], *sorted[i]) == 0) {
      Fail(u"has a damaged resource directory (a resource appears twice)");
    }
  }
  return resources;
}

std::vector<TDataResource> ReadDataResources(std::span<const uint8_t> image) {
  std::vector<TDataResource> data;
  for (const TPeResource& resource : ReadResources(image)) {
    if (resource.Type.IsName || resource.Type.Number != PeResourceTypeData) continue;
    if (!resource.Name.IsName) continue;
    data.push_back({resource.Name.Name, {resource.Data.begin(), resource.Data.end()}});
  }
  return data;
}

std::vector<TDataResourcePlacement> PlaceDataResources(
    const std::vector<TPeResource>& existing, const std::vector<TDataResource>& resources) {
  std::vector<TPeResource> program = existing;
  std::vector<TDataResourcePlacement> placements;
  for (const TDataResource& resource : resources) {
    TDataResourcePlacement placement;
    for (const TPeResource& entry : program) {
      if (IsDataResourceNamed(entry, resource.Name)) placement.Replaced.push_back(entry);
    }
    if (!placement.Replaced.empty()) {
      placement.Language = placement.Replaced.front().Language;
      for (const TPeResource& replaced : placement.Replaced) {
        placement.Language = std::min(placement.Language, replaced.Language);
      }
    } else {
      placement.Language = MostUsedLanguage(program);
    }
    std::erase_if(program, [&](const TPeResource& entry) {
      return IsDataResourceNamed(entry, resource.Name);
    });
    program.push_back({TPeResourceId::FromNumber(PeResourceTypeData),
                       TPeResourceId::FromName(resource.Name), placement.Language, 0,
                       resource.Data});
    placements.push_back(std::move(placement));
  }
  return placements;
}

std::vector<uint8_t> WithDataResources(std::span<const uint8_t> image,
                                       const std::vector<TDataResource>& resources,
                                       const TProgramBranding& branding) {
  CheckProgramImage(image);
  const TPeHeaders headers = ParseHeaders(image);
  if (!IsPowerOfTwo(headers.FileAlignment) || !IsPowerOfTwo(headers.SectionAlignment) ||
      headers.FileAlignment < 0x200 || headers.FileAlignment > 0x10000 ||
      headers.SectionAlignment < headers.FileAlignment) {
    Fail(u"has an unusual section alignment this tool does not write");
  }
  if (headers.DirectoryCount <= DirectoryResources) {
    Fail(u"has no place for a resource directory in its headers");
  }
  // The loader takes sections only in ascending order, aligned and without overlaps; a new one
  // is placed after the last and must not land inside another.
  uint64_t next_rva = 0;
  for (const TSection& section : headers.Sections) {
    if (section.VirtualAddress % headers.SectionAlignment != 0 ||
        section.VirtualAddress < next_rva) {
      Fail(u"is damaged (its sections overlap or are out of order)");
    }
    next_rva =
        AlignUp(uint64_t{section.VirtualAddress} + section.MappedSize(), headers.SectionAlignment);
  }

  std::vector<TPeResource> entries = ReadResources(image);
  for (const TDataResource& resource : resources) {
    if (resource.Name.empty() || resource.Name.size() > 0xFFFF) {
      Fail(u"cannot take a resource name of that length");
    }
  }
  const std::vector<TDataResourcePlacement> placements = PlaceDataResources(entries, resources);
  for (size_t i = 0; i < resources.size(); ++i) {
    std::erase_if(entries, [&](const TPeResource& entry) {
      return IsDataResourceNamed(entry, resources[i].Name);
    });
    entries.push_back({TPeResourceId::FromNumber(PeResourceTypeData),
                       TPeResourceId::FromName(resources[i].Name), placements[i].Language, 0,
                       resources[i].Data});
  }
  std::list<std::vector<uint8_t>> made;  // the bytes of the resources made here
  if (!branding.Icons.empty()) ReplaceIcons(entries, branding.Icons, made);
  if (branding.Version) ReplaceVersion(entries, *branding.Version, made);

  // The section that holds the resource directory now, if any.
  std::optional<size_t> old_section;
  const uint32_t old_rva = headers.Directory(DirectoryResources).Rva;
  for (size_t i = 0; i < headers.Sections.size() && old_rva != 0; ++i) {
    const TSection& section = headers.Sections[i];
    if (old_rva >= section.VirtualAddress &&
        old_rva - section.VirtualAddress < section.MappedSize()) {
      old_section = i;
      break;
    }
  }
  const bool replace = old_section && IsReplaceableResourceSection(image, headers, *old_section);

  uint64_t keep = image.size();
  uint64_t rva = 0;
  size_t slot = 0;
  uint64_t retired_raw_size = 0;
  if (replace) {
    const TSection& section = headers.Sections[*old_section];
    keep = section.PointerToRawData;
    rva = section.VirtualAddress;
    slot = section.HeaderOffset;
    retired_raw_size = section.SizeOfRawData;
  } else {
    // The new section follows the last one in memory without a gap, as the loader requires.
    rva = std::max(next_rva, AlignUp(headers.SizeOfHeaders, headers.SectionAlignment));
    slot = headers.SectionTableOffset + headers.Sections.size() * SectionHeaderSize;
    // The new header must fit inside the headers' space, before any section's bytes, and over
    // bytes nobody uses: some linkers put bound imports right after the table.
    bool room = headers.Sections.size() < 0xFFFF &&
                slot + SectionHeaderSize <= headers.SizeOfHeaders &&
                slot + SectionHeaderSize <= image.size();
    for (const TSection& section : headers.Sections) {
      if (section.SizeOfRawData != 0 && slot + SectionHeaderSize > section.PointerToRawData) {
        room = false;
      }
    }
    if (room) {
      const auto header_bytes = image.subspan(slot, SectionHeaderSize);
      room =
          std::all_of(header_bytes.begin(), header_bytes.end(), [](uint8_t b) { return b == 0; });
    }
    if (!room) Fail(u"has no room for another section in its headers");
  }
  if (rva > std::numeric_limits<uint32_t>::max()) Fail(u"cannot grow beyond 4 GB");

  const std::vector<uint8_t> section = BuildResourceSection(entries, static_cast<uint32_t>(rva));
  // The section's bytes start at a page boundary of the file, as they do in memory: then the
  // loader can map the packages straight from the file and read in only the pages a run
  // touches, where an unaligned section is copied whole into memory before the first
  // instruction (Wine does so for every program; it costs the package's size at every start).
  const uint64_t raw_offset =
      AlignUp(keep, std::max(headers.FileAlignment, std::min(headers.SectionAlignment, PageSize)));
  const uint64_t raw_size = AlignUp(section.size(), headers.FileAlignment);
  const uint64_t image_size = AlignUp(rva + section.size(), headers.SectionAlignment);
  if (raw_offset + raw_size > std::numeric_limits<uint32_t>::max() ||
      image_size > std::numeric_limits<uint32_t>::max()) {
    Fail(u"cannot grow beyond 4 GB");
  }

  std::vector<uint8_t> output(image.begin(), image.begin() + static_cast<ptrdiff_t>(keep));
  output.resize(raw_offset, 0);
  output.insert(output.end(), section.begin(), section.end());
  output.resize(raw_offset + raw_size, 0);

  if (old_section && !replace && headers.Sections[*old_section].Name == ResourceSectionName) {
    std::copy_n(
        RetiredResourceSectionName, SectionNameSize,
        output.begin() + static_cast<ptrdiff_t>(headers.Sections[*old_section].HeaderOffset));
  }
  std::fill_n(output.begin() + static_cast<ptrdiff_t>(slot), SectionHeaderSize, 0);
  std::copy_n(ResourceSectionName, sizeof ResourceSectionName - 1,
              output.begin() + static_cast<ptrdiff_t>(slot));
  Put32(output, slot + 8, static_cast<uint32_t>(section.size()));
  Put32(output, slot + 12, static_cast<uint32_t>(rva));
  Put32(output, slot + 16, static_cast<uint32_t>(raw_size));
  Put32(output, slot + 20, static_cast<uint32_t>(raw_offset));
  Put32(output, slot + 36, SectionInitializedData | SectionMemoryRead);

  if (!replace) {
    Put16(output, headers.CoffOffset + 2, static_cast<uint16_t>(headers.Sections.size() + 1));
  }
  const size_t optional = headers.OptionalOffset;
  // The size of initialized data is only informative; it follows the sections' raw sizes.
  uint64_t initialized = uint64_t{headers.SizeOfInitializedData} + raw_size;
  initialized -= std::min(retired_raw_size, initialized);
  Put32(
      output, optional + OptionalSizeOfInitializedData,
      static_cast<uint32_t>(std::min<uint64_t>(initialized, std::numeric_limits<uint32_t>::max())));
  Put32(output, optional + OptionalSizeOfImage, static_cast<uint32_t>(image_size));
  Put32(output, headers.DirectoryOffset(DirectoryResources), static_cast<uint32_t>(rva));
  Put32(output, headers.DirectoryOffset(DirectoryResources) + 4,
        static_cast<uint32_t>(section.size()));
  // Only drivers and a few system files must carry a correct checksum, but a stale one would
  // make any tool that checks it call the program damaged.
  Put32(output, optional + OptionalCheckSum, PeImageChecksum(output));
  // Nothing above moves bytes that a header points at, but a program that standard tools would
  // call damaged must never leave this function, whatever the input held.
  CheckFileLayout(output, ParseHeaders(output));
  return output;
}

uint32_t PeImageChecksum(std::span<const uint8_t> image) {
  const size_t field = ParseHeaders(image).OptionalOffset + OptionalCheckSum;
  const auto byte = [&](size_t i) -> uint32_t {
    return i >= field && i < field + 4 ? 0 : image[i];
  };
  uint64_t sum = 0;
  for (size_t i = 0; i < image.size(); i += 2) {
    sum += byte(i) | (i + 1 < image.size() ? byte(i + 1) << 8 : 0);
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum + image.size());
}

// Small 64-bit Windows programs built in memory for tests.
#include "tools/setupkit/test_program_image.h"

#include <algorithm>

namespace {

constexpr uint32_t SectionAlignment = 0x1000;
constexpr uint32_t FileAlignment = 0x200;
constexpr size_t PeOffset = 0x40;
constexpr size_t OptionalOffset = PeOffset + 4 + 20;
constexpr size_t OptionalSize = 240;

size_t Align(size_t value, size_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

struct TestSection {
  const char* Name;
  std::vector<uint8_t> Data;
  uint32_t Characteristics;
};

// A resource tree laid out depth first, as windres does: each type's name directory right
// after the root's entries, each name's language directory after that.
std::vector<uint8_t> ResourceTree(const std::vector<TTestResource>& resources, uint32_t rva) {
  struct Name {
    const TTestResource* First;
    std::vector<const TTestResource*> Languages;
  };
  struct Type {
    uint16_t Id;
    std::vector<Name> Names;
  };
  std::vector<Type> types;
  for (const TTestResource& resource : resources) {
    if (types.empty() || types.back().Id != resource.Type) types.push_back({resource.Type, {}});
    auto& names = types.back().Names;
    if (names.empty() || names.back().First->Name != resource.Name ||
        names.back().First->Id != resource.Id) {
      names.push_back({&resource, {}});
    }
    names.back().Languages.push_back(&resource);
  }
  size_t size = 16 + 8 * types.size();
  for (const Type& type : types) {
    size += 16 + 8 * type.Names.size();
    for (const Name& name : type.Names) size += 16 + 8 * name.Languages.size();
  }
  const size_t data_entries = size;
  size += 16 * resources.size();
  const size_t strings = size;
  for (const TTestResource& resource : resources) {
    if (!resource.Name.empty()) size += 2 + 2 * resource.Name.size();
  }
  std::vector<size_t> data_offsets;
  for (const TTestResource& resource : resources) {
    size = Align(size, 8);
    data_offsets.push_back(size);
    size += resource.Data.size();
  }
  std::vector<uint8_t> tree(size, 0);

  size_t next_directory = 16 + 8 * types.size();
  size_t string_at = strings;
  size_t index = 0;
  WriteTest16(tree, 14, static_cast<uint16_t>(types.size()));
  for (size_t t = 0; t < types.size(); ++t) {
    const size_t name_directory = next_directory;
    WriteTest32(tree, 16 + 8 * t, types[t].Id);
    WriteTest32(tree, 16 + 8 * t + 4, 0x80000000u | static_cast<uint32_t>(name_directory));
    const auto& names = types[t].Names;
    const auto named = std::count_if(names.begin(), names.end(),
                                     [](const Name& n) { return !n.First->Name.empty(); });
    WriteTest16(tree, name_directory + 12, static_cast<uint16_t>(named));
    WriteTest16(tree, name_directory + 14, static_cast<uint16_t>(names.size() - named));
    next_directory = name_directory + 16 + 8 * names.size();
    for (size_t n = 0; n < names.size(); ++n) {
      const TTestResource& first = *names[n].First;
      const size_t entry = name_directory + 16 + 8 * n;
      if (first.Name.empty()) {
        WriteTest32(tree, entry, first.Id);
      } else {
        WriteTest32(tree, entry, 0x80000000u | static_cast<uint32_t>(string_at));
        WriteTest16(tree, string_at, static_cast<uint16_t>(first.Name.size()));
        for (size_t i = 0; i < first.Name.size(); ++i) {
          WriteTest16(tree, string_at + 2 + 2 * i, first.Name[i]);
        }
        string_at += 2 + 2 * first.Name.size();
      }
      const size_t language_directory = next_directory;
      WriteTest32(tree, entry + 4, 0x80000000u | static_cast<uint32_t>(language_directory));
      WriteTest16(tree, language_directory + 14, static_cast<uint16_t>(names[n].Languages.size()));
      next_directory = language_directory + 16 + 8 * names[n].Languages.size();
      for (size_t l = 0; l < names[n].Languages.size(); ++l) {
        const TTestResource& resource = *names[n].Languages[l];
        const size_t data_entry = data_entries + 16 * index;
        WriteTest32(tree, language_directory + 16 + 8 * l, resource.Language);
        WriteTest32(tree, language_directory + 16 + 8 * l + 4, static_cast<uint32_t>(data_entry));
        WriteTest32(tree, data_entry, rva + static_cast<uint32_t>(data_offsets[index]));
        WriteTest32(tree, data_entry + 4, static_cast<uint32_t>(resource.Data.size()));
        std::copy(resource.Data.begin(), resource.Data.end(),
                  tree.begin() + static_cast<ptrdiff_t>(data_offsets[index]));
        ++index;
      }
    }
  }
  return tree;
}

}  // namespace

uint32_t ReadTest32(const std::vector<uint8_t>& bytes, size_t offset) {
  return bytes.at(offset) | bytes.at(offset + 1) << 8 | bytes.at(offset + 2) << 16 |
         static_cast<uint32_t>(bytes.at(offset + 3)) << 24;
}

uint16_t ReadTest16(const std::vector<uint8_t>& bytes, size_t offset) {
  return static_cast<uint16_t>(bytes.at(offset) | bytes.at(offset + 1) << 8);
}

void WriteTest32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
}

void WriteTest16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value) {
  bytes.at(offset) = static_cast<uint8_t>(value);
  bytes.at(offset + 1) = static_cast<uint8_t>(value >> 8);
}

TTestResource TestManifest() {
  return {24,
          {},
          1,
          0x409,
          "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
          "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"/>\n"};
}

TTestProgram MakeTestProgram(const TTestProgramOptions& options) {
  // xor eax, eax; ret: the program ends at once with exit code 0.
  std::vector<TestSection> sections = {{".text", {0x31, 0xC0, 0xC3}, 0x60000020}};
  size_t resource_section = 0;
  if (!options.Resources.empty()) {
    resource_section = sections.size();
    const uint32_t rva = static_cast<uint32_t>(SectionAlignment * (sections.size() + 1));
    sections.push_back({".rsrc", ResourceTree(options.Resources, rva), 0x40000040});
  }
  if (options.SectionAfterResources) {
    sections.push_back({".data", std::vector<uint8_t>(16, 0x5A), 0xC0000040});
  }

  TTestProgram program;
  program.OptionalHeaderOffset = OptionalOffset;
  program.SectionTableOffset = OptionalOffset + OptionalSize;
  std::vector<uint8_t>& image = program.Image;
  image.assign(options.SizeOfHeaders, 0);
  image[0] = 'M';
  image[1] = 'Z';
  WriteTest32(image, 0x3C, PeOffset);
  WriteTest32(image, PeOffset, 0x00004550);
  WriteTest16(image, PeOffset + 4, 0x8664);
  WriteTest16(image, PeOffset + 6, static_cast<uint16_t>(sections.size()));
  WriteTest16(image, PeOffset + 20, OptionalSize);
  WriteTest16(image, PeOffset + 22, 0x0022);  // executable, large-address aware
  WriteTest16(image, OptionalOffset, 0x20B);
  WriteTest32(image, OptionalOffset + 16, SectionAlignment);  // entry point: .text
  WriteTest32(image, OptionalOffset + 20, SectionAlignment);  // base of code
  WriteTest32(image, OptionalOffset + 24, 0x40000000);        // image base, low half
  WriteTest32(image, OptionalOffset + 28, 0x1);               // image base, high half
  WriteTest32(image, OptionalOffset + 32, SectionAlignment);
  WriteTest32(image, OptionalOffset + 36, FileAlignment);
  WriteTest16(image, OptionalOffset + 40, 6);  // operating system version
  WriteTest16(image, OptionalOffset + 48, 6);  // subsystem version
  WriteTest32(image, OptionalOffset + 56,
              static_cast<uint32_t>(SectionAlignment * (sections.size() + 1)));
  WriteTest32(image, OptionalOffset + 60, options.SizeOfHeaders);
  WriteTest16(image, OptionalOffset + 68, 3);       // console subsystem
  WriteTest16(image, OptionalOffset + 70, 0x8100);  // NX compatible, terminal-server aware
  WriteTest32(image, OptionalOffset + 72, 0x100000);
  WriteTest32(image, OptionalOffset + 80, 0x1000);
  WriteTest32(image, OptionalOffset + 88, 0x100000);
  WriteTest32(image, OptionalOffset + 96, 0x1000);
  WriteTest32(image, OptionalOffset + 108, 16);

  uint32_t initialized = 0;
  for (size_t i = 0; i < sections.size(); ++i) {
    const size_t header = program.SectionTableOffset + 40 * i;
    const uint32_t rva = static_cast<uint32_t>(SectionAlignment * (i + 1));
    const size_t raw = image.size();
    const size_t raw_size = Align(sections[i].Data.size(), FileAlignment);
    std::copy(sections[i].Name, sections[i].Name + std::char_traits<char>::length(sections[i].Name),
              image.begin() + static_cast<ptrdiff_t>(header));
    WriteTest32(image, header + 8, static_cast<uint32_t>(sections[i].Data.size()));
    WriteTest32(image, header + 12, rva);
    WriteTest32(image, header + 16, static_cast<uint32_t>(raw_size));
    WriteTest32(image, header + 20, static_cast<uint32_t>(raw));
    WriteTest32(image, header + 36, sections[i].Characteristics);
    image.insert(image.end(), sections[i].Data.begin(), sections[i].Data.end());
    image.resize(raw + raw_size, 0);
    if (i == 0) {
      WriteTest32(image, OptionalOffset + 4, static_cast<uint32_t>(raw_size));
    } else {
      initialized += static_cast<uint32_t>(raw_size);
    }
    if (i == resource_section && i != 0) {
      program.ResourceOffset = raw;
      WriteTest32(image, OptionalOffset + 112 + 2 * 8, rva);
      WriteTest32(image, OptionalOffset + 112 + 2 * 8 + 4,
                  static_cast<uint32_t>(sections[i].Data.size()));
    }
  }
  WriteTest32(image, OptionalOffset + 8, initialized);
  if (options.SymbolTable) {
    // Two 18-byte symbols: one named in place, one through the string table (offset 4, just
    // after the table's length), then the string table, whose length counts itself.
    std::string symbols(2 * 18, '\0');
    symbols.replace(0, 5, "_main");
    symbols[18 + 4] = 4;
    const std::string strings = "a_symbol_name_longer_than_eight";
    const uint32_t length = static_cast<uint32_t>(4 + strings.size() + 1);
    for (int i = 0; i < 4; ++i) symbols.push_back(static_cast<char>(length >> (8 * i)));
    symbols += strings;
    symbols.push_back('\0');
    program.Symbols = symbols;
    program.SymbolsOffset = image.size();
    WriteTest32(image, PeOffset + 12, static_cast<uint32_t>(image.size()));
    WriteTest32(image, PeOffset + 16, 2);
    image.insert(image.end(), symbols.begin(), symbols.end());
  }
  image.insert(image.end(), options.Overlay.begin(), options.Overlay.end());
  return program;
}

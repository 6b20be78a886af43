// The version resource: its encoding, a reader of it, and what a setup program's says.
#include "tools/setupkit/version_resource.h"

#include <algorithm>

#include "package/installer_script.h"

namespace {

constexpr uint16_t TypeBinary = 0;
constexpr uint16_t TypeText = 1;

// VS_FIXEDFILEINFO: 13 double words, the first two a signature and the structure's version.
constexpr uint32_t FixedSignature = 0xFEEF04BD;
constexpr uint32_t FixedStructureVersion = 0x00010000;
constexpr size_t FixedInfoSize = 52;
constexpr uint32_t FileFlagsMask = 0x3F;       // VS_FFI_FILEFLAGSMASK
constexpr uint32_t FileOsNtWindows = 0x40004;  // VOS_NT_WINDOWS32
constexpr uint32_t FileTypeApplication = 1;    // VFT_APP

// Blocks start on 32-bit boundaries: the length, the value length and the type take six bytes.
constexpr size_t BlockHeaderSize = 6;

size_t AlignUp4(size_t value) {
  return (value + 3) & ~size_t{3};
}

void Append16(std::vector<uint8_t>& bytes, uint16_t value) {
  bytes.push_back(static_cast<uint8_t>(value));
  bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void Append32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void AppendText(std::vector<uint8_t>& bytes, StringView text) {
  for (const char16_t c : text) Append16(bytes, c);
  Append16(bytes, 0);
}

void PadTo4(std::vector<uint8_t>& bytes) {
  bytes.resize(AlignUp4(bytes.size()), 0);
}

// One block: its key, its value (bytes and the count the header gives, which for text is in
// characters with the terminating zero, for binary in bytes) and its children.
struct TBlock {
  String Key;
  uint16_t Type = TypeText;
  std::vector<uint8_t> Value;
  uint16_t ValueLength = 0;
  std::vector<TBlock> Children;
};

// Every block begins on a 32-bit boundary of the resource, which itself is so aligned.
void WriteBlock(std::vector<uint8_t>& out, const TBlock& block) {
  PadTo4(out);
  const size_t start = out.size();
  Append16(out, 0);  // the length, known at the end
  Append16(out, block.ValueLength);
  Append16(out, block.Type);
  AppendText(out, block.Key);
  if (!block.Value.empty()) {
    PadTo4(out);
    out.insert(out.end(), block.Value.begin(), block.Value.end());
  }
  for (const TBlock& child : block.Children) WriteBlock(out, child);
  const size_t length = out.size() - start;
  if (length > 0xFFFF) throw EVersionResourceError(u"the version information is too long");
  out[start] = static_cast<uint8_t>(length);
  out[start + 1] = static_cast<uint8_t>(length >> 8);
}

TBlock TextBlock(StringView key, StringView value) {
  TBlock block;
  block.Key = String(key);
  std::vector<uint8_t> bytes;
  AppendText(bytes, value);
  block.Value = std::move(bytes);
  block.ValueLength = static_cast<uint16_t>(value.size() + 1);
  return block;
}

uint32_t High(const TVersionNumbers& numbers) {
  return uint32_t{numbers[0]} << 16 | numbers[1];
}
uint32_t Low(const TVersionNumbers& numbers) {
  return uint32_t{numbers[2]} << 16 | numbers[3];
}

String Hex4(uint16_t value) {
  constexpr char16_t Digits[] = u"0123456789ABCDEF";
  String text;
  for (int shift = 12; shift >= 0; shift -= 4) text += Digits[(value >> shift) & 0xF];
  return text;
}

// A block read back: where its value and its children lie within the resource.
struct TReadBlock {
  String Key;
  uint16_t Type = 0;
  uint16_t ValueLength = 0;
  size_t Value = 0;     // offset of the value
  size_t Children = 0;  // offset of the first child
  size_t End = 0;       // offset after the block
};

class TVersionReader {
 public:
  explicit TVersionReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  TReadBlock Block(size_t at, size_t limit) const {
    if (limit > bytes_.size() || at > limit || limit - at < BlockHeaderSize) Damaged();
    TReadBlock block;
    const uint16_t length = Read16(at);
    if (length < BlockHeaderSize || length > limit - at) Damaged();
    block.End = at + length;
    block.ValueLength = Read16(at + 2);
    block.Type = Read16(at + 4);
    size_t cursor = at + BlockHeaderSize;
    for (;;) {
      if (cursor + 2 > block.End) Damaged();
      const char16_t c = static_cast<char16_t>(Read16(cursor));
      cursor += 2;
      if (c == 0) break;
      block.Key += c;
    }
    block.Value = std::min(AlignUp4(cursor), block.End);
    // Some writers count a text's length in bytes rather than characters; the value never
    // reaches past its block either way.
    const size_t value_bytes =
        std::min<size_t>(block.Type == TypeText ? size_t{block.ValueLength} * 2 : block.ValueLength,
                         block.End - block.Value);
    if (block.Type == TypeText) block.ValueLength = static_cast<uint16_t>(value_bytes / 2);
    block.Children = std::min(AlignUp4(block.Value + value_bytes), block.End);
    return block;
  }

  std::vector<TReadBlock> Children(const TReadBlock& parent) const {
    std::vector<TReadBlock> children;
    for (size_t at = parent.Children; at + BlockHeaderSize <= parent.End;) {
      children.push_back(Block(at, parent.End));
      at = AlignUp4(children.back().End);
    }
    return children;
  }

  String Text(const TReadBlock& block) const {
    String text;
    for (size_t i = 0; i < block.ValueLength; ++i) {
      const char16_t c = static_cast<char16_t>(Read16(block.Value + 2 * i));
      if (c == 0) break;
      text += c;
    }
    return text;
  }

  uint16_t Read16(size_t at) const {
    if (at > bytes_.size() || bytes_.size() - at < 2) Damaged();
    return static_cast<uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
  }
  uint32_t Read32(size_t at) const { return Read16(at) | uint32_t{Read16(at + 2)} << 16; }

 private:
  [[noreturn]] static void Damaged() {
    throw EVersionResourceError(u"the version information is damaged");
  }

  std::span<const uint8_t> bytes_;
};

uint16_t ParseHex4(StringView text, bool& ok) {
  uint16_t value = 0;
  for (const char16_t c : text) {
    value = static_cast<uint16_t>(value << 4);
    if (c >= u'0' && c <= u'9') {
      value = static_cast<uint16_t>(value | (c - u'0'));
    } else if (c >= u'A' && c <= u'F') {
      value = static_cast<uint16_t>(value | (c - u'A' + 10));
    } else if (c >= u'a' && c <= u'f') {
      value = static_cast<uint16_t>(value | (c - u'a' + 10));
    } else {
      ok = false;
    }
  }
  return value;
}

}  // namespace

std::optional<String> TVersionInfo::Find(StringView key) const {
  for (const auto& [name, value] : Strings) {
    if (name == key) return value;
  }
  return std::nullopt;
}

std::optional<TVersionNumbers> ParseVersionNumbers(StringView text) {
  TVersionNumbers numbers{};
  size_t part = 0;
  size_t at = 0;
  for (;;) {
    if (part == numbers.size()) return std::nullopt;
    uint32_t value = 0;
    const size_t start = at;
    while (at < text.size() && text[at] >= u'0' && text[at] <= u'9') {
      value = value * 10 + static_cast<uint32_t>(text[at] - u'0');
      if (value > 0xFFFF) return std::nullopt;
      ++at;
    }
    if (at == start) return std::nullopt;
    numbers[part++] = static_cast<uint16_t>(value);
    if (at == text.size()) return numbers;
    if (text[at] != u'.') return std::nullopt;
    ++at;
  }
}

std::vector<uint8_t> EncodeVersionResource(const TVersionInfo& info) {
  TBlock root;
  root.Key = u"VS_VERSION_INFO";
  root.Type = TypeBinary;
  for (const uint32_t value :
       {FixedSignature, FixedStructureVersion, High(info.FileVersion), Low(info.FileVersion),
        High(info.ProductVersion), Low(info.ProductVersion), FileFlagsMask, uint32_t{0},
        FileOsNtWindows, FileTypeApplication, uint32_t{0}, uint32_t{0}, uint32_t{0}}) {
    Append32(root.Value, value);
  }
  root.ValueLength = static_cast<uint16_t>(FixedInfoSize);

  TBlock table;
  table.Key = Hex4(info.Language) + Hex4(info.CodePage);
  for (const auto& [key, value] : info.Strings) {
    if (!value.empty()) table.Children.push_back(TextBlock(key, value));
  }
  TBlock strings;
  strings.Key = u"StringFileInfo";
  strings.Children.push_back(std::move(table));

  TBlock translation;
  translation.Key = u"Translation";
  translation.Type = TypeBinary;
  Append16(translation.Value, info.Language);
  Append16(translation.Value, info.CodePage);
  translation.ValueLength = 4;
  TBlock variables;
  variables.Key = u"VarFileInfo";
  variables.Children.push_back(std::move(translation));

  root.Children.push_back(std::move(strings));
  root.Children.push_back(std::move(variables));
  std::vector<uint8_t> bytes;
  WriteBlock(bytes, root);
  return bytes;
}

TVersionInfo DecodeVersionResource(std::span<const uint8_t> resource) {
  const TVersionReader reader(resource);
  const TReadBlock root = reader.Block(0, resource.size());
  if (root.Key != u"VS_VERSION_INFO" || root.ValueLength < FixedInfoSize ||
      reader.Read32(root.Value) != FixedSignature) {
    throw EVersionResourceError(u"is not version information");
  }
  TVersionInfo info;
  const auto numbers = [&](size_t at) {
    const uint32_t high = reader.Read32(at), low = reader.Read32(at + 4);
    return TVersionNumbers{static_cast<uint16_t>(high >> 16), static_cast<uint16_t>(high),
                           static_cast<uint16_t>(low >> 16), static_cast<uint16_t>(low)};
  };
  info.FileVersion = numbers(root.Value + 8);
  info.ProductVersion = numbers(root.Value + 16);
  for (const TReadBlock& block : reader.Children(root)) {
    if (block.Key != u"StringFileInfo") continue;
    const std::vector<TReadBlock> tables = reader.Children(block);
    if (tables.empty()) continue;
    bool ok = tables[0].Key.size() == 8;
    info.Language = ParseHex4(StringView(tables[0].Key).substr(0, 4), ok);
    info.CodePage = ParseHex4(StringView(tables[0].Key).substr(4), ok);
    if (!ok) throw EVersionResourceError(u"the version information names no language");
    for (const TReadBlock& text : reader.Children(tables[0])) {
      info.Strings.emplace_back(text.Key, reader.Text(text));
    }
    break;
  }
  return info;
}

std::pair<String, String> VersionNumberSetting(const TInstallerScript& script) {
  const String number = script.GetSetting(u"ProductVersionNo");
  if (!number.empty()) return {u"ProductVersionNo", number};
  return {u"ProductVersion", script.GetSetting(u"ProductVersion")};
}

TVersionInfo ProductVersionInfo(const TInstallerScript& script, uint16_t language) {
  TVersionInfo info;
  info.Language = language;
  const TVersionNumbers numbers =
      ParseVersionNumbers(VersionNumberSetting(script).second).value_or(TVersionNumbers{});
  info.FileVersion = numbers;
  info.ProductVersion = numbers;
  const String name = script.GetSetting(u"ProductName");
  const String version = script.GetSetting(u"ProductVersion");
  info.Strings = {{u"CompanyName", script.GetSetting(u"Publisher")},
                  {u"FileDescription", name.empty() ? String() : name + u" Setup"},
                  {u"FileVersion", version},
                  {u"ProductName", name},
                  {u"ProductVersion", version}};
  return info;
}

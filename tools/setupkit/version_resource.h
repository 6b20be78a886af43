// The version resource (RT_VERSION, a VS_VERSIONINFO) of a setup program: what the shell's file
// properties, the system's GetFileVersionInfo and the list of installed programs show about it.
// Written from the product's settings in the installer script, so that a built setup names the
// product and its maker rather than the bare setup program's.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "platform/exception.h"
#include "platform/text.h"

class TInstallerScript;

// The bytes are not a version resource this module can read; the message says why.
class EVersionResourceError : public Exception {
 public:
  using Exception::Exception;
};

// Major, minor, build, revision, as VS_FIXEDFILEINFO holds them.
using TVersionNumbers = std::array<uint16_t, 4>;

// What a version resource says. Strings keep their order; the string table and the translation
// both take Language and CodePage.
struct TVersionInfo {
  TVersionNumbers FileVersion{};
  TVersionNumbers ProductVersion{};
  uint16_t Language = 0x0409;  // U.S. English, as resource compilers write by default
  uint16_t CodePage = 1200;    // UTF-16, the code page of every string in the resource
  std::vector<std::pair<String, String>> Strings;

  // The value of the named string, or nothing.
  std::optional<String> Find(StringView key) const;
};

// "5.0.3.1" as {5, 0, 3, 1}; "5.00" as {5, 0, 0, 0}: one to four numbers of decimal digits, each
// at most 65535, separated by single dots. Nothing for any other text (an empty one included).
std::optional<TVersionNumbers> ParseVersionNumbers(StringView text);

// The resource's bytes, laid out as the system reads them: each block a length, a value length
// and a type (0 binary, 1 text) before its UTF-16 key, key and value each padded to 32 bits,
// VS_FIXEDFILEINFO for the numbers (a program for Windows NT), a "StringFileInfo" block with
// one string table named by language and code page ("040904B0"), and a "VarFileInfo" block
// whose "Translation" names the same pair. Strings with an empty value are left out: the
// shell shows nothing for them either way, and some readers stumble on an empty value.
std::vector<uint8_t> EncodeVersionResource(const TVersionInfo& info);

// Reads a version resource back: the fixed numbers, the first string table's strings and its
// language and code page. Raises EVersionResourceError for bytes that do not read as one;
// nothing outside Resource is ever read.
TVersionInfo DecodeVersionResource(std::span<const uint8_t> resource);

// The setting the version numbers are read from: "ProductVersionNo" (the uninstall entry's
// version, numbers by nature) when the script has it, else "ProductVersion" (what the wizard
// shows). The first is the setting's name, the second its value.
std::pair<String, String> VersionNumberSetting(const TInstallerScript& script);

// The version information of a setup program for the product the script describes:
// ProductName, CompanyName (the Publisher setting), FileDescription ("<ProductName> Setup"),
// FileVersion and ProductVersion (the ProductVersion setting), and the fixed numbers from
// VersionNumberSetting, all 0 when they do not parse. Language is the program's own.
TVersionInfo ProductVersionInfo(const TInstallerScript& script, uint16_t language);

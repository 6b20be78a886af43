// Resources of 64-bit Windows programs (PE32+ images): reading the resource tree, and writing a
// copy of a program with data (RCDATA) resources added or replaced. Portable: the Linux build of
// the maker's tool writes setup programs with it, and both builds read them back.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/exception.h"
#include "platform/text.h"
#include "tools/setupkit/icon_file.h"
#include "tools/setupkit/version_resource.h"

// The image is not a program this module can read or change; the message says why.
class EPeImageError : public Exception {
 public:
  using Exception::Exception;
};

// The resource types this tool deals with by number.
inline constexpr uint16_t PeResourceTypeData = 10;      // RT_RCDATA
inline constexpr uint16_t PeResourceTypeVersion = 16;   // RT_VERSION
inline constexpr uint16_t PeResourceTypeManifest = 24;  // RT_MANIFEST

// A resource type or name: a number, or a text.
struct TPeResourceId {
  bool IsName = false;
  uint16_t Number = 0;
  String Name;

  static TPeResourceId FromNumber(uint16_t number) { return {false, number, {}}; }
  static TPeResourceId FromName(StringView name) { return {true, 0, String(name)}; }
};

// One resource: its place in the tree and its bytes. Data points into the image it was read
// from and is valid as long as that image is.
struct TPeResource {
  TPeResourceId Type;
  TPeResourceId Name;
  uint16_t Language = 0;
  uint32_t CodePage = 0;
  std::span<const uint8_t> Data;
};

// A named RCDATA resource with its own copy of the bytes.
struct TDataResource {
  String Name;
  std::vector<uint8_t> Data;
};

// Whether two resource names are the same one for the system: equal once folded to upper case.
bool SameResourceName(StringView a, StringView b);

// Raises EPeImageError unless Image is a 64-bit Windows program (x64, PE32+, an executable and
// not a library) whose resources can be changed: a signed program is refused, because changing
// it would invalidate its signature, and so is one whose headers point past the end of the file
// (sections, symbol table and its strings, debug data, signature) or whose size in memory leaves
// out a section, which standard tools refuse to read.
void CheckProgramImage(std::span<const uint8_t> image);

// Everything wrong with where the headers of the PE32+ image point, one text per fault naming
// the header field and its value: section data, relocation and line number tables, the symbol
// table and its strings, the certificate table and debug data that lie outside the file, a
// symbol table inside a section's bytes, sections whose bytes overlap in the file or whose
// places in memory overlap, a size in memory that leaves out a section, and resource data
// entries that point outside the file. Each text reads "its ... (fields)" or "it has ...".
// Empty for a sound program; CheckProgramImage refuses the faults the writer cannot carry
// over. Raises EPeImageError only when the headers cannot be read at all.
std::vector<String> CheckProgramLayout(std::span<const uint8_t> image);

// Every resource of a PE32+ image, in tree order; none for an image without a resource
// directory. Every offset is checked: a damaged or hostile image raises EPeImageError and
// nothing outside Image is ever read.
std::vector<TPeResource> ReadResources(std::span<const uint8_t> image);

// The RCDATA resources of the image that have names (in every language), with their bytes.
std::vector<TDataResource> ReadDataResources(std::span<const uint8_t> image);

// Where each data resource goes in a program that holds Existing: the language it takes, and
// the resources it replaces (the RCDATA entries of the same name, in any language). An existing
// entry keeps its language; a new one takes the language most of the program's resources use
// (windres writes U.S. English for all of them unless told otherwise), or neutral in a program
// without resources. So a program ends up with exactly one resource of each name however often
// it is built. Resources are placed in order, each in the program as the ones before left it.
struct TDataResourcePlacement {
  uint16_t Language = 0;
  std::vector<TPeResource> Replaced;
};
std::vector<TDataResourcePlacement> PlaceDataResources(const std::vector<TPeResource>& existing,
                                                       const std::vector<TDataResource>& resources);

// What a build changes about how a program presents itself, besides its packages.
struct TProgramBranding {
  // When not empty: the images of the program's first icon group, the one the shell shows.
  // The group keeps its name and language (a program without one gets group 1 in the
  // language most of its resources use); icons that no group names any more are dropped.
  // Data must stay valid until the program is written.
  std::vector<TIconImage> Icons;
  // When set: the program's version resources, in every language, give way to this one,
  // under the name and in the language of the first of them (number 1 in U.S. English when
  // the program had none); that language replaces Version's Language.
  std::optional<TVersionInfo> Version;
};

// A copy of the program Image whose RCDATA resources include Resources, placed as
// PlaceDataResources says, and whose icons and version information are Branding's; every other
// resource is kept byte for byte. The new resource tree goes into a section of its own at the
// end of the image. When the program's resources already sit
// in such a last section (a program this function wrote), that section is replaced, so building
// again does not grow the file; otherwise the old section stays where it is, renamed, and only
// the resource directory stops pointing at it. No byte that a header reaches by file offset
// moves (a symbol table or other data after the sections stays where it is, and the new section
// goes after it), so those headers stay right; the size in memory, the size of initialized data
// and the checksum are recomputed (the checksum over the finished file, so that tools that check
// it accept the program; zero would be accepted as well, but the linker wrote a real one). Raises
// EPeImageError when CheckProgramImage does, when the resources cannot be read, or when the
// headers have no room for one more section.
std::vector<uint8_t> WithDataResources(std::span<const uint8_t> image,
                                       const std::vector<TDataResource>& resources,
                                       const TProgramBranding& branding = {});

// The image checksum of the optional header, as the system computes it: a 16-bit folded sum of
// the file with the checksum field counted as 0, plus the file's length.
uint32_t PeImageChecksum(std::span<const uint8_t> image);

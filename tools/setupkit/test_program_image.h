// Small 64-bit Windows programs built in memory for the tests of the resource reader and
// writer: headers, a code section that returns 0, optionally a resource section and a section
// after it, as linkers lay them out. Written here from the format's description, independently
// of the code under test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/text.h"

struct TTestResource {
  uint16_t Type = 0;
  // A name, or empty for the number Id.
  String Name;
  uint16_t Id = 0;
  uint16_t Language = 0;
  std::string Data;
};

struct TTestProgramOptions {
  // Written in the order given, which must be the order the system expects (names first, by
  // upper case, then numbers), each type's entries together and each name's languages together.
  // None: no resource section at all.
  std::vector<TTestResource> Resources;
  // A section after the resources, as the base relocations usually are.
  bool SectionAfterResources = true;
  uint32_t SizeOfHeaders = 0x400;
  // Bytes after the last section, as a symbol table or appended data would be.
  std::string Overlay;
  // A COFF symbol table and its string table after the last section (before Overlay), as
  // linkers leave them in a program that is not stripped.
  bool SymbolTable = false;
};

struct TTestProgram {
  std::vector<uint8_t> Image;
  size_t OptionalHeaderOffset = 0;
  size_t SectionTableOffset = 0;
  // File offset of the resource tree, 0 without one.
  size_t ResourceOffset = 0;
  // The symbol table and its string table as written, and where; empty without one.
  std::string Symbols;
  size_t SymbolsOffset = 0;
};

TTestProgram MakeTestProgram(const TTestProgramOptions& options);

// The manifest resource most tests give their program.
TTestResource TestManifest();

// Little-endian access for tests that inspect or damage an image.
uint32_t ReadTest32(const std::vector<uint8_t>& bytes, size_t offset);
uint16_t ReadTest16(const std::vector<uint8_t>& bytes, size_t offset);
void WriteTest32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value);
void WriteTest16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value);

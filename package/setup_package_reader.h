// Opens a setup package: reads, deciphers, decodes and checks the whole container at once, so a
// constructed reader holds every file in memory.
#pragma once

#include <memory>

#include "package/setup_package.h"
#include "platform/resource.h"
#include "support/stream.h"

class TSetupPackageReader : public TCustomSetupPackage {
 public:
  // From the RCDATA resource ResName of a module (null: the program itself).
  TSetupPackageReader(platform::NativeModule instance, StringView resource_name);
  // From a file, which other processes stay free to read and write meanwhile.
  explicit TSetupPackageReader(StringView file_name);
  // From a stream, starting at its position.
  explicit TSetupPackageReader(TStream& stream);

  bool Contains(StringView name) const;
  // A copy of the named file's bytes, positioned at 0, or null when there is no such file.
  std::unique_ptr<TMemoryStream> Extract(StringView name);
  // The named file's bytes where they lie in the decoded package, without a copy, or null
  // when there is no such file. Valid as long as the reader.
  std::unique_ptr<TMemoryViewStream> View(StringView name) const;

 private:
  void Read(TStream& stream);
  void ReadFileTable();
};

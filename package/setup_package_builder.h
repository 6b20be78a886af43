// Builds a setup package from files gathered in memory.
#pragma once

#include <functional>

#include "package/setup_package.h"
#include "support/crypto.h"
#include "support/stream.h"

class TSetupPackageBuilder : public TCustomSetupPackage {
 public:
  // An empty package whose key is built from Seed.
  explicit TSetupPackageBuilder(uint32_t seed = PackageKeySeed);

  // Appends Source's bytes from its position to its end as the file Name. A name of 65536
  // code units or more cannot be stored and raises ESetupPackageBuildError.
  void AddFile(TStream& source, StringView name);
  // Writes the container at an LZMA level from 0 to 9. Runs once per builder. A payload of 4 GiB
  // or more cannot be described by the header and raises ESetupPackageBuildError.
  void Commit(TStream& dest, int level);
  // Commit into a file, created or emptied; the file is closed whether or not Commit succeeds.
  void SaveToFile(StringView file_name, int level);

  // Told how much of the payload the encoder has taken so far, during Commit.
  std::function<void(int64_t done, int64_t total)> OnProgress;

 private:
  std::vector<uint8_t> key_;
  bool committed_ = false;
};

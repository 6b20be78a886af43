// The "IPK5" setup package: named files in one container, compressed with LZMA, enciphered with
// RC4 and guarded by a CRC32. This header holds what the reader and the builder share.
//
// Container (little-endian): "IPK5", CRC32 of the payload, PayloadSize, then the body: the
// enciphered LZMA stream (5 properties bytes, data, no end marker) of the payload. The payload
// is the files' bytes back to back, then the file table (Count; per entry NameLength, the UTF-16
// name, Offset, Size), then TableLength.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/exception.h"
#include "platform/text.h"
#include "support/memory_stream.h"

class ESetupPackageReadError : public Exception {
 public:
  ESetupPackageReadError() : Exception(u"Package was corrupted") {}
};

// The builder was asked for something the container cannot describe.
class ESetupPackageBuildError : public Exception {
 public:
  using Exception::Exception;
};

inline constexpr char SetupPackageMagic[4] = {'I', 'P', 'K', '5'};
inline constexpr size_t SetupPackageHeaderSize = 12;

struct TSetupPackageFileTableItem {
  String Name;
  int64_t Offset = 0;
  int64_t Size = 0;
};

class TSetupPackageFileTable {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  const TSetupPackageFileTableItem& Items(int index) const { return items_[index]; }
  void Add(TSetupPackageFileTableItem item);

  // The first entry whose name equals Name, ignoring case (equal lengths only), or null.
  const TSetupPackageFileTableItem* Find(StringView name) const;

 private:
  std::vector<TSetupPackageFileTableItem> items_;
  // The entries of each upper-case name, in table order. Names equal ignoring case share their
  // upper-case form, so a lookup compares only with these instead of with every entry: an
  // installation looks up each of its files, and comparing by the user's locale is slow.
  std::unordered_map<String, std::vector<size_t>> by_upper_case_;
};

class TCustomSetupPackage {
 public:
  virtual ~TCustomSetupPackage() = default;

  const TSetupPackageFileTable& FileTable() const { return file_table_; }

 protected:
  TSetupPackageFileTable file_table_;
  TMemoryStream payload_;
};

// Fuzzes the reader and writer of program resources the way the maker's tool uses them: "build"
// writes both packages into the program, "lint" reads the named data resources and the
// signature back.
//
// Every input is read or refused cleanly. When the writer accepts one, the program it writes
// must read back with both packages in place, every other resource kept byte for byte, pass the
// program checks again, carry no signature, and building it again must not grow it.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "tools/setupkit/pe_resources.h"
#include "tools/setupkit/signature_check.h"

namespace {

const std::vector<TDataResource>& Packages() {
  static const std::vector<TDataResource> packages = {
      {u"SETUP", {'I', 'P', 'K', '5', 0, 1, 2, 3, 4}}, {u"PRODUCT", {'I', 'P', 'K', '5', 9, 8, 7}}};
  return packages;
}

const TDataResource* PackageOf(const TPeResource& resource) {
  if (resource.Type.IsName || resource.Type.Number != PeResourceTypeData || !resource.Name.IsName) {
    return nullptr;
  }
  for (const TDataResource& package : Packages()) {
    if (SameResourceName(resource.Name.Name, package.Name)) return &package;
  }
  return nullptr;
}

bool IsNamedData(const TPeResource& resource) {
  return !resource.Type.IsName && resource.Type.Number == PeResourceTypeData &&
         resource.Name.IsName;
}

bool SameResource(const TPeResource& a, const TPeResource& b) {
  return a.Type.IsName == b.Type.IsName && a.Type.Number == b.Type.Number &&
         a.Type.Name == b.Type.Name && a.Name.IsName == b.Name.IsName &&
         a.Name.Number == b.Name.Number && a.Name.Name == b.Name.Name && a.Language == b.Language &&
         a.CodePage == b.CodePage &&
         std::equal(a.Data.begin(), a.Data.end(), b.Data.begin(), b.Data.end());
}

// What "lint" reads: the named data resources agree with the whole resource list.
void CheckDataResources(std::span<const uint8_t> image, const std::vector<TPeResource>& all) {
  const std::vector<TDataResource> data = ReadDataResources(image);
  if (data.size() != static_cast<size_t>(std::count_if(all.begin(), all.end(), IsNamedData))) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> image(data, size);
  try {
    CheckProgramSignature(image);
  } catch (const EPeImageError&) {
    // Not a program; "lint" says so.
  }

  std::vector<TPeResource> before;
  std::vector<uint8_t> built;
  try {
    before = ReadResources(image);
    CheckDataResources(image, before);
    built = WithDataResources(image, Packages());
  } catch (const EPeImageError&) {
    return 0;
  }
  // From here on nothing may fail: what the writer wrote, the reader and the checks accept.
  CheckProgramImage(built);
  // The writer refuses signed programs, so what it wrote carries no signature.
  if (CheckProgramSignature(built).Status != TSignatureStatus::Unsigned) std::abort();
  const std::vector<TPeResource> after = ReadResources(built);
  CheckDataResources(built, after);
  const auto kept = std::count_if(before.begin(), before.end(),
                                  [](const TPeResource& r) { return PackageOf(r) == nullptr; });
  if (after.size() != static_cast<size_t>(kept) + Packages().size()) std::abort();
  for (const TPeResource& resource : after) {
    if (const TDataResource* package = PackageOf(resource)) {
      if (!std::equal(resource.Data.begin(), resource.Data.end(), package->Data.begin(),
                      package->Data.end())) {
        std::abort();
      }
    } else if (std::none_of(before.begin(), before.end(),
                            [&](const TPeResource& old) { return SameResource(old, resource); })) {
      std::abort();
    }
  }

  // A maker builds into the same program again and again; it must not grow.
  if (WithDataResources(built, Packages()).size() != built.size()) std::abort();
  return 0;
}

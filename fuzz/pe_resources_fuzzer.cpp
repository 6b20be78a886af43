// Fuzzes the reader and writer of program resources.
//
// Every input is read or refused cleanly. When the writer accepts one, the program it writes
// must read back with the new package in place, every other resource kept byte for byte, and
// pass the program checks again.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tools/setupkit/pe_resources.h"

namespace {

bool IsSetupPackage(const TPeResource& resource) {
  return !resource.Type.IsName && resource.Type.Number == PeResourceTypeData &&
         resource.Name.IsName && SameResourceName(resource.Name.Name, u"SETUP");
}

bool SameResource(const TPeResource& a, const TPeResource& b) {
  return a.Type.IsName == b.Type.IsName && a.Type.Number == b.Type.Number &&
         a.Type.Name == b.Type.Name && a.Name.IsName == b.Name.IsName &&
         a.Name.Number == b.Name.Number && a.Name.Name == b.Name.Name && a.Language == b.Language &&
         a.CodePage == b.CodePage &&
         std::equal(a.Data.begin(), a.Data.end(), b.Data.begin(), b.Data.end());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> image(data, size);
  std::vector<TPeResource> before;
  std::vector<uint8_t> built;
  const std::vector<uint8_t> package = {'I', 'P', 'K', '5', 0, 1, 2, 3, 4};
  try {
    before = ReadResources(image);
    built = WithDataResources(image, {{u"SETUP", package}});
  } catch (const EPeImageError&) {
    return 0;
  }
  // From here on nothing may fail: what the writer wrote, the reader and the checks accept.
  CheckProgramImage(built);
  const std::vector<TPeResource> after = ReadResources(built);
  const auto kept = std::count_if(before.begin(), before.end(),
                                  [](const TPeResource& r) { return !IsSetupPackage(r); });
  if (after.size() != static_cast<size_t>(kept) + 1) std::abort();
  for (const TPeResource& resource : after) {
    if (IsSetupPackage(resource)) {
      if (!std::equal(resource.Data.begin(), resource.Data.end(), package.begin(), package.end())) {
        std::abort();
      }
    } else if (std::none_of(before.begin(), before.end(),
                            [&](const TPeResource& old) { return SameResource(old, resource); })) {
      std::abort();
    }
  }
  return 0;
}

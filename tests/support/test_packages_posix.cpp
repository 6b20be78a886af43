// The test product's packages in the host double's resources.
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "platform/host_double.h"
#include "tests/support/test_packages.h"

std::vector<uint8_t> ReadTestPackage(StringView which) {
  const std::string path =
      std::string(UINSTALLER_TEST_PACKAGES_DIR) + "/" + StringToUtf8(which) + ".pkg";
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("missing test package " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void InstallTestPackages() {
  platform::HostDouble::SetDataResource(nullptr, u"SETUP", ReadTestPackage(u"setup"));
  platform::HostDouble::SetDataResource(nullptr, u"PRODUCT", ReadTestPackage(u"product"));
}

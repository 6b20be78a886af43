// The test product's packages, carried by the Windows test program as RCDATA resources.
#include <windows.h>

#include <stdexcept>

#include "platform/windows_text.h"
#include "tests/support/test_packages.h"

void InstallTestPackages() {}

std::vector<uint8_t> ReadTestPackage(StringView which) {
  const String name = which == u"setup" ? String(u"SETUP") : String(u"PRODUCT");
  const HRSRC resource = ::FindResourceW(nullptr, ToWide(name), RT_RCDATA);
  if (resource == nullptr) throw std::runtime_error("the test program carries no packages");
  const auto* bytes =
      static_cast<const uint8_t*>(::LockResource(::LoadResource(nullptr, resource)));
  return {bytes, bytes + ::SizeofResource(nullptr, resource)};
}

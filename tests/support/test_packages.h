// The engine's test product: a setup package and a product package made from
// tests/fixtures/engine, which test programs carry as their "SETUP" and "PRODUCT" resources.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/text.h"

// Makes the packages the program's resources. Windows test programs carry them already; the
// Linux double gets them from the built files.
void InstallTestPackages();

// The bytes of the "setup" or "product" package.
std::vector<uint8_t> ReadTestPackage(StringView which);

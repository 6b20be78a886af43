// Fuzzes the strict XML check of the maker's tool with any bytes as a script.
//
// Whatever the file holds, the check ends, and a problem it reports lies inside the document:
// a line and a column from 1, and a sentence saying what was expected.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "tools/setupkit/xml_well_formed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto problem = FindXmlWellFormednessProblem(bytes);
  if (problem) {
    Require(problem->Line >= 1 && problem->Column >= 1);
    Require(static_cast<size_t>(problem->Line) <= size + 1);
    Require(!problem->Message.empty());
  }
  return 0;
}

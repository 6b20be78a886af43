// Fuzzes the "SXML" and "BXML" readers with any bytes: reading may fail with the read error or
// the one-root rule, but must not crash, leak or allocate out of proportion to the input; and
// a tree that was read must survive writing as "SXML" and reading back.
//
// Input that does not start with either magic gets one: "SXML" when its first byte is even,
// "BXML" otherwise, in front of the remaining bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "support/memory_stream.h"
#include "support/xml_document.h"
#include "support/xml_test_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::vector<uint8_t> image;
  if (size >= 4 && (std::memcmp(data, "SXML", 4) == 0 || std::memcmp(data, "BXML", 4) == 0)) {
    image.assign(data, data + size);
  } else {
    const char* magic = data[0] % 2 == 0 ? "SXML" : "BXML";
    image.assign(magic, magic + 4);
    image.insert(image.end(), data + 1, data + size);
  }

  TMemoryViewStream stream(image.data(), static_cast<int64_t>(image.size()));
  TVYNXMLDocument document;
  try {
    document.LoadFromStream(stream);
  } catch (const EReadError&) {
    return 0;
  } catch (const EVYNXMLDocument&) {
    return 0;
  }
  Require(stream.Position() <= static_cast<int64_t>(image.size()));

  TMemoryStream binary;
  document.SaveToStream(binary, {.Format = xfBinary});
  binary.SetPosition(0);
  TVYNXMLDocument reread(binary);
  Require(xml_test::SameChildren(document, reread));
  return 0;
}

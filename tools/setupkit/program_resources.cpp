// Writing a program's data resources: the same writer on every system. The system's
// resource-update API is not used on Windows because it moves the sections that follow the
// resources without fixing what points at them by file offset (the symbol table), so standard
// tools then refuse the program; one writer also means one behaviour to test.
#include "tools/setupkit/program_resources.h"

#include "support/file_stream.h"
#include "support/memory_stream.h"

void WriteProgramWithDataResources(StringView program, StringView output,
                                   const std::vector<TDataResource>& resources,
                                   const TProgramBranding& branding) {
  TMemoryStream original;
  original.LoadFromFile(program);
  const std::vector<uint8_t> image = WithDataResources(original.Bytes(), resources, branding);
  TFileStream file(output, fmCreate);
  file.WriteBuffer(image.data(), static_cast<int64_t>(image.size()));
}

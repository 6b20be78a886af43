// Writing a program's data resources on Linux: the resource section is written by this tool.
#include "support/file_stream.h"
#include "support/memory_stream.h"
#include "tools/setupkit/program_resources.h"

void WriteProgramWithDataResources(StringView program, StringView output,
                                   const std::vector<TDataResource>& resources) {
  TMemoryStream original;
  original.LoadFromFile(program);
  const std::vector<uint8_t> image = WithDataResources(original.Bytes(), resources);
  TFileStream file(output, fmCreate);
  file.WriteBuffer(image.data(), static_cast<int64_t>(image.size()));
}

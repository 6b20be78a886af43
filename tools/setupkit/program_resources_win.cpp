// Writing a program's data resources on Windows, through the system's resource-update API.
#include <windows.h>

#include "platform/os_error.h"
#include "platform/handle_traits_win.h"
#include "platform/windows_text.h"
#include "support/memory_stream.h"
#include "tools/setupkit/program_resources.h"

namespace {

// An update that is not committed explicitly is discarded, so a failure half-way leaves the
// copy as it was.
struct ResourceUpdateTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { ::EndUpdateResourceW(handle, TRUE); }
};

[[noreturn]] void FailWithSystemText(StringView what, StringView file) {
  const uint32_t error = platform::GetLastOSError();
  throw Exception(String(what) + u" \"" + String(file) + u"\": " +
                  platform::SysErrorMessage(error));
}

}  // namespace

void WriteProgramWithDataResources(StringView program, StringView output,
                                   const std::vector<TDataResource>& resources) {
  // The update API adds a second entry when the language differs from the existing one, and
  // the loader might then find the old package, so every placement follows the program's own
  // resources.
  TMemoryStream original;
  original.LoadFromFile(program);
  const std::vector<TDataResourcePlacement> placements =
      PlaceDataResources(ReadResources(original.Bytes()), resources);

  const String source(program), target(output);
  if (!::CopyFileW(ToWide(source), ToWide(target), FALSE)) {
    FailWithSystemText(u"cannot copy the program to", target);
  }
  platform::ScopedHandle<ResourceUpdateTraits> update(
      ::BeginUpdateResourceW(ToWide(target), FALSE));
  if (!update) FailWithSystemText(u"cannot update the resources of", target);
  for (size_t i = 0; i < resources.size(); ++i) {
    for (const TPeResource& replaced : placements[i].Replaced) {
      if (!::UpdateResourceW(update.Get(), RT_RCDATA, ToWide(replaced.Name.Name), replaced.Language,
                             nullptr, 0)) {
        FailWithSystemText(u"cannot remove a resource of", target);
      }
    }
    const std::vector<uint8_t>& data = resources[i].Data;
    if (!::UpdateResourceW(update.Get(), RT_RCDATA, ToWide(resources[i].Name),
                           placements[i].Language, const_cast<uint8_t*>(data.data()),
                           static_cast<DWORD>(data.size()))) {
      FailWithSystemText(u"cannot add a resource to", target);
    }
  }
  if (!::EndUpdateResourceW(update.Release(), FALSE)) {
    FailWithSystemText(u"cannot write the resources of", target);
  }
}

// Writing a copy of a Windows program with data (RCDATA) resources added or replaced, by
// writing a new resource section (WithDataResources), alike on Windows and on Linux.
#pragma once

#include <vector>

#include "platform/text.h"
#include "tools/setupkit/pe_resources.h"

// Writes Output (created or replaced) as a copy of Program whose RCDATA resources include
// Resources, placed as PlaceDataResources says, with Branding's icons and version information;
// every other resource is kept. Program must have
// passed CheckProgramImage. A program the image module cannot handle raises EPeImageError; a
// file that cannot be read or written raises Exception.
void WriteProgramWithDataResources(StringView program, StringView output,
                                   const std::vector<TDataResource>& resources,
                                   const TProgramBranding& branding = {});

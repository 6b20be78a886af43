// The licence viewer's arithmetic, apart from the rich edit control: the zoom ratio it is given
// for a zoom percentage, the zoom after a DPI change, and the address a clicked link opens.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "platform/text.h"

// The control's zoom is Numerator/64.
inline constexpr int32_t RichViewerZoomDenominator = 64;

// The numerator for a zoom percentage: z × 0.63 + 1 up to 100 %, z × 0.64 above, to the nearest
// integer with ties to even. None when it falls outside the control's range 2 to 4095, in which
// case the zoom stays as it was. Worked in exact integers so that a tie is a tie on every build.
std::optional<int32_t> GetRichViewerZoomNumerator(int32_t zoom);

// The zoom percentage after the control was rescaled by M/D.
int32_t RescaleRichViewerZoom(int32_t zoom, int32_t numerator, int32_t denominator);

// What a clicked link's text opens: the text itself when it holds "//" or names an existing
// folder, otherwise the text as a web address with "http://" in front. None for an empty text.
std::optional<String> GetRichViewerLinkTarget(StringView link_text,
                                              const std::function<bool(StringView)>& folder_exists);

#include "ui/rich_viewer_rules.h"

#include "ui/installer_scale.h"

namespace {

// Dividend / divisor (divisor > 0) to the nearest integer, ties to even.
int64_t DivideRoundingToEven(int64_t dividend, int64_t divisor) {
  int64_t quotient = dividend / divisor;
  int64_t remainder = dividend % divisor;
  // Make the remainder non-negative so the comparison below works for negative dividends.
  if (remainder < 0) {
    remainder += divisor;
    --quotient;
  }
  const int64_t twice = 2 * remainder;
  if (twice > divisor || (twice == divisor && quotient % 2 != 0)) ++quotient;
  return quotient;
}

constexpr int32_t MinimumNumerator = 2;
constexpr int32_t MaximumNumerator = 4095;

}  // namespace

std::optional<int32_t> GetRichViewerZoomNumerator(int32_t zoom) {
  const int64_t hundredths = zoom <= 100 ? int64_t{zoom} * 63 + 100 : int64_t{zoom} * 64;
  const int64_t numerator = DivideRoundingToEven(hundredths, 100);
  if (numerator < MinimumNumerator || numerator > MaximumNumerator) return std::nullopt;
  return static_cast<int32_t>(numerator);
}

int32_t RescaleRichViewerZoom(int32_t zoom, int32_t numerator, int32_t denominator) {
  return MultiplyDivide(zoom, numerator, denominator);
}

std::optional<String> GetRichViewerLinkTarget(
    StringView link_text, const std::function<bool(StringView)>& folder_exists) {
  if (link_text.empty()) return std::nullopt;
  if (link_text.find(u"//") != StringView::npos || folder_exists(link_text)) {
    return String(link_text);
  }
  return u"http://" + String(link_text);
}

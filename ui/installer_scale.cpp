#include "ui/installer_scale.h"

#include <limits>

int32_t MultiplyDivide(int32_t number, int32_t numerator, int32_t denominator) {
  if (denominator == 0) return -1;
  int64_t product = static_cast<int64_t>(number) * numerator;
  int64_t divisor = denominator;
  if (divisor < 0) {
    product = -product;
    divisor = -divisor;
  }
  // Half away from zero: add half the divisor to the magnitude before truncating.
  const int64_t half = divisor / 2;
  const int64_t result = product >= 0 ? (product + half) / divisor : (product - half) / divisor;
  if (result > std::numeric_limits<int32_t>::max() ||
      result < std::numeric_limits<int32_t>::min()) {
    return -1;
  }
  return static_cast<int32_t>(result);
}

// The wizard's scale factor: every layout length is given at 96 DPI and scaled by the form's
// current factor with the rounding that Windows' MulDiv uses, so both builds lay out alike.
#pragma once

#include <cstdint>

// Number × numerator / denominator with a 64-bit intermediate, rounded half away from zero,
// exactly as Windows' MulDiv (which portable code cannot call, and must not shadow).
// Like it, a zero denominator or a result outside 32 bits gives -1.
int32_t MultiplyDivide(int32_t number, int32_t numerator, int32_t denominator);

// M/D, the ratio of the monitor's DPI to the 96 DPI the layout is written for.
struct TInstallerScale {
  int32_t Numerator = 96;
  int32_t Denominator = 96;

  int32_t Apply(int32_t length) const { return MultiplyDivide(length, Numerator, Denominator); }
};

// A rectangle by its four edges, as window positions are stored in settings files.
#pragma once

#include <cstdint>

struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  bool operator==(const TRect&) const = default;
};

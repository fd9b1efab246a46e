// The one rounding rule of the system: nearest, ties away from zero, saturating.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace vimbrel {

// A float "rounded" into a 16-bit value.
inline std::int16_t to_int16(float v) {
  if (std::isnan(v)) return 0;
  const float r = std::round(v);
  if (r >= 32767.0f) return 32767;
  if (r <= -32768.0f) return -32768;
  return static_cast<std::int16_t>(r);
}

// A float coordinate or size brought to whole pixels (32-bit, for canvases wider than 32767).
inline std::int32_t to_pixel(float v) {
  if (std::isnan(v)) return 0;
  const double r = std::round(static_cast<double>(v));
  if (r >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
    return std::numeric_limits<std::int32_t>::max();
  }
  if (r <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
    return std::numeric_limits<std::int32_t>::min();
  }
  return static_cast<std::int32_t>(r);
}

}  // namespace vimbrel

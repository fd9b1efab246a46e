// The score of one offset: the brightness-normalised (zero-mean, normalised) correlation of the two
// pictures where they overlap. An offset (u, v) puts the moving picture's pixel (0, 0) on the fixed
// picture's pixel (u, v).
#pragma once

#include <cstdint>
#include <optional>

#include "join/grey_picture.h"

namespace vimbrel {

struct Offset {
  int u = 0, v = 0;
  friend bool operator==(const Offset&, const Offset&) = default;
};

// The overlap of a fixed w_f × h_f and a moving w_m × h_m picture at an offset, in the fixed
// picture's pixels: [x0, x1) × [y0, y1); empty when x1 <= x0 or y1 <= y0.
struct Overlap {
  std::int64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  std::int64_t area() const { return x1 > x0 && y1 > y0 ? (x1 - x0) * (y1 - y0) : 0; }
};
Overlap overlap_at(int w_f, int h_f, int w_m, int h_m, Offset o);

// Below this spread of grey levels (standard deviation) a region counts as flat: it matches nothing.
inline constexpr double kFlatDeviation = 1.5;

// The score in [-1, 1] at offset `o`, or nullopt when the pictures do not overlap or either side of
// the overlap is flat. Exact sums: the result does not depend on how the work is divided.
std::optional<double> overlap_score(const GreyPicture& fixed, const GreyPicture& moving, Offset o);

// The score from the five sums over n pixels (f fixed, m moving); nullopt when either side is flat.
std::optional<double> score_of_sums(double n, double sf, double sm, double sff, double smm, double sfm);

}  // namespace vimbrel

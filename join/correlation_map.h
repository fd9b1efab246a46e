// The score of every offset in a range at once, for the coarse level of the search: the cross term of
// the correlation by FFT (FFTW), the other sums from summed-area tables.
#pragma once

#include <cstdint>
#include <vector>

#include "join/grey_picture.h"
#include "join/overlap_score.h"

namespace vimbrel {

// Offsets [u_min, u_max] × [v_min, v_max], inclusive.
struct OffsetRange {
  int u_min = 0, u_max = -1, v_min = 0, v_max = -1;
  bool empty() const { return u_max < u_min || v_max < v_min; }
  bool contains(Offset o) const { return o.u >= u_min && o.u <= u_max && o.v >= v_min && o.v <= v_max; }
};

// Scores of the offsets of `range`, row by row (v, then u); NaN where the offset is outside what the
// pictures can overlap, where the overlap has fewer than `min_area` pixels, or where it is flat.
struct CorrelationMap {
  OffsetRange range;
  std::vector<float> scores;
  int columns() const { return range.u_max - range.u_min + 1; }
  float at(Offset o) const {
    return scores[static_cast<std::size_t>(o.v - range.v_min) * columns() + (o.u - range.u_min)];
  }
};

// The range is cut to the offsets at which the pictures overlap at all. The work is that of three
// FFTs of about (w_f + w_m) × (h_f + h_m) points, whatever the range.
CorrelationMap correlation_map(const GreyPicture& fixed, const GreyPicture& moving, OffsetRange range,
                               std::int64_t min_area);

}  // namespace vimbrel

// Reduced copies of a picture for views below half size: level L is the picture 2^L times smaller,
// each pixel the average of the 2 x 2 pixels of the level above it, made when first asked for. A
// view then averages every pixel it covers (no shimmer while it moves) for a cost that follows the
// view rather than the picture.
#pragma once

#include <vector>

#include "platform/pixels/bitmap.h"

namespace vimbrel {

// The 2 x 2 averages of `src`: half its size, rounded up, an odd edge averaging the pixels it has.
Bitmap halved(const Bitmap& src);

// The size of `length` at `level`: halved `level` times, rounded up each time.
std::int64_t reduced_length(std::int64_t length, int level);

// The level whose copy shows a picture at `scale` with at least half a copy's pixel a view pixel:
// 0 at a half and above, else the L with scale * 2^L in (1/2, 1].
int reduction_level(double scale);

class ReducedCopies {
 public:
  // Level `level` (1 or more) of `full`, made from the levels above it when missing. `full` must be
  // the picture the copies were made of until clear().
  const Bitmap& level(const Bitmap& full, int level);
  bool holds(int level) const { return static_cast<int>(levels_.size()) >= level; }
  void clear() { levels_.clear(); }

 private:
  std::vector<Bitmap> levels_;  // levels_[i] is level i + 1
};

}  // namespace vimbrel

// The alignment search: the translation at which one picture's drawn part best matches another's where
// they overlap. Pure computation on two pictures; join/align_commands.h applies it to the join.
//
// Every offset is considered at which the overlap covers at least a tenth of the smaller drawn part
// and which `range` allows. The score is the brightness-normalised correlation of the overlapping
// regions (so a change of exposure or JPEG noise does not matter). The search runs coarse to fine on
// a pyramid: every offset is scored at once by FFT at the coarsest level, the best distinct peaks
// are followed down level by level, and the best is refined at full resolution to the exact pixel.
// A match is refused when its score is low, or when another distinct peak scores nearly as well (a
// flat, repetitive or ambiguous overlap): a guess is never moved to.
#pragma once

#include <string>

#include "join/correlation_map.h"
#include "platform/pixels/bitmap.h"
#include "platform/pixels/raster.h"

namespace vimbrel {

struct AlignmentRequest {
  const Bitmap* fixed = nullptr;   // the picture that stays
  PixelRect fixed_part;            // its drawn part (the crop), inside the picture
  const Bitmap* moving = nullptr;  // the picture that moves
  PixelRect moving_part;
  // Offsets allowed: the moving part's top-left corner less the fixed part's, in pixels.
  OffsetRange range;
};

// The thresholds of a match.
inline constexpr double kMinScore = 0.7;      // the best must score at least this
inline constexpr double kMinLead = 0.1;       // and lead every distinct other peak by this much
inline constexpr int kMinOverlapPixels = 64;  // below this an overlap is too small to judge

struct Alignment {
  bool found = false;
  Offset offset;          // the moving part's top-left corner less the fixed part's
  double score = 0;       // the best score, -1 .. 1 (0 when nothing could be scored)
  double runner_up = -1;  // the best score of another distinct peak (-1: none)
  std::string reason;     // why nothing was found, in English; empty when found
};

Alignment find_alignment(const AlignmentRequest& request);

// A score as the messages give it: three decimals.
std::string score_text(double score);

}  // namespace vimbrel

#include "join/alignment.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <thread>
#include <utility>
#include <vector>

#include "join/grey_picture.h"

namespace vimbrel {
namespace {

// The coarsest level is the first whose correlation takes at most this many FFT points...
constexpr std::int64_t kFftPoints = std::int64_t{1} << 19;
// ...or the last at which every side of both parts is still this long.
constexpr int kMinLevelSide = 16;
// Peaks followed from the coarsest level, at least this far apart there (in its pixels).
constexpr int kPeaks = 6;
constexpr int kPeakSpacing = 2;
// A peak this far behind the best at a level is followed no further.
constexpr double kHopeless = 0.3;
// Two results closer than this at full resolution are one peak.
constexpr int kSamePeak = 2;

using Pyramid = std::vector<GreyPicture>;  // level 0 full resolution, each next one half the last

// The levels 1 ... `levels` under an existing level 0.
void build_levels(Pyramid& p, int levels) {
  while (static_cast<int>(p.size()) <= levels) p.push_back(half_of(p.back()));
}

int floor_div(int a, int d) {
  return a >= 0 ? a / d : -((-a + d - 1) / d);
}
int ceil_div(int a, int d) {
  return -floor_div(-a, d);
}

// The search at one level of the pyramid: its pictures, the offsets it allows and the overlap it needs.
struct Level {
  const GreyPicture& fixed;
  const GreyPicture& moving;
  OffsetRange range;
  std::int64_t min_area;
  std::map<std::pair<int, int>, double> scored{};  // every offset scored so far (NaN: not a candidate)

  // The score at `o`, or NaN when `o` is not a candidate.
  double score(Offset o) {
    const auto key = std::make_pair(o.u, o.v);
    if (const auto it = scored.find(key); it != scored.end()) return it->second;
    double s = std::nan("");
    if (range.contains(o) &&
        overlap_at(fixed.width, fixed.height, moving.width, moving.height, o).area() >= min_area) {
      if (const auto v = overlap_score(fixed, moving, o)) s = *v;
    }
    scored.emplace(key, s);
    return s;
  }

  // From `start` to the best of its neighbours, until none is better: the local maximum above it.
  // Returns the offset and its score (NaN when no candidate is near).
  std::pair<Offset, double> climb(Offset start) {
    Offset at = start;
    double best = score(at);
    for (int guard = 0; guard < 100000; ++guard) {
      Offset next = at;
      double next_score = best;
      for (int dv = -1; dv <= 1; ++dv) {
        for (int du = -1; du <= 1; ++du) {
          const Offset o{at.u + du, at.v + dv};
          const double s = score(o);
          if (!std::isnan(s) && (std::isnan(next_score) || s > next_score)) next = o, next_score = s;
        }
      }
      if (next == at) break;
      at = next;
      best = next_score;
    }
    return {at, best};
  }
};

// The range of level `l`: every offset there that covers one of `full`'s at level 0.
OffsetRange scaled(const OffsetRange& full, int l) {
  const int d = 1 << l;
  return {floor_div(full.u_min, d), ceil_div(full.u_max, d), floor_div(full.v_min, d),
          ceil_div(full.v_max, d)};
}

struct Peak {
  Offset offset;
  double score;
};

// The local maxima of the map (not below any neighbour), best first, each at least kPeakSpacing from
// every better one kept; at most kPeaks.
std::vector<Peak> peaks_of(const CorrelationMap& map) {
  std::vector<Peak> all;
  const OffsetRange& r = map.range;
  for (int v = r.v_min; v <= r.v_max; ++v) {
    for (int u = r.u_min; u <= r.u_max; ++u) {
      const float s = map.at({u, v});
      if (std::isnan(s)) continue;
      bool top = true;
      for (int dv = -1; dv <= 1 && top; ++dv) {
        for (int du = -1; du <= 1 && top; ++du) {
          const Offset o{u + du, v + dv};
          if ((du != 0 || dv != 0) && r.contains(o) && map.at(o) > s) top = false;
        }
      }
      if (top) all.push_back({{u, v}, s});
    }
  }
  std::stable_sort(all.begin(), all.end(), [](const Peak& a, const Peak& b) { return a.score > b.score; });
  std::vector<Peak> kept;
  for (const Peak& p : all) {
    const bool apart = std::all_of(kept.begin(), kept.end(), [&](const Peak& k) {
      return std::max(std::abs(k.offset.u - p.offset.u), std::abs(k.offset.v - p.offset.v)) >= kPeakSpacing;
    });
    if (apart) kept.push_back(p);
    if (static_cast<int>(kept.size()) == kPeaks) break;
  }
  return kept;
}

bool same_peak(Offset a, Offset b) {
  return std::max(std::abs(a.u - b.u), std::abs(a.v - b.v)) <= kSamePeak;
}

// The longest overlap any offset in [lo, hi] gives along one axis. The overlap is longest over the
// offsets [min(0, size_f - size_m), max(0, size_f - size_m)], where the shorter part lies inside the
// longer, and shrinks away from them.
std::int64_t widest(int size_f, int size_m, int lo, int hi) {
  const int flat_lo = std::min(0, size_f - size_m), flat_hi = std::max(0, size_f - size_m);
  const int at = hi < flat_lo ? hi : lo > flat_hi ? lo : std::max(lo, flat_lo);
  const std::int64_t a = std::max(0, at), b = std::min<std::int64_t>(size_f, std::int64_t{at} + size_m);
  return std::max<std::int64_t>(0, b - a);
}

}  // namespace

Alignment find_alignment(const AlignmentRequest& q) {
  Alignment result;
  const PixelRect& fp = q.fixed_part;
  const PixelRect& mp = q.moving_part;
  if (q.fixed == nullptr || q.moving == nullptr || fp.w <= 0 || fp.h <= 0 || mp.w <= 0 || mp.h <= 0) {
    result.reason = "a picture has nothing drawn";
    return result;
  }
  const int wf = static_cast<int>(fp.w), hf = static_cast<int>(fp.h);
  const int wm = static_cast<int>(mp.w), hm = static_cast<int>(mp.h);
  const std::int64_t smaller = std::min(fp.w * fp.h, mp.w * mp.h);
  const std::int64_t min_area = std::max<std::int64_t>(kMinOverlapPixels, (smaller + 9) / 10);
  OffsetRange range = q.range;
  range.u_min = std::max(range.u_min, 1 - wm), range.u_max = std::min(range.u_max, wf - 1);
  range.v_min = std::max(range.v_min, 1 - hm), range.v_max = std::min(range.v_max, hf - 1);
  if (range.empty() ||
      widest(wf, wm, range.u_min, range.u_max) * widest(hf, hm, range.v_min, range.v_max) < min_area) {
    result.reason = "no place on the canvas makes the pictures overlap by a tenth of the smaller one";
    return result;
  }

  // The coarsest level.
  int coarsest = 0;
  for (;;) {
    const std::int64_t points =
        std::int64_t{(wf >> coarsest) + (wm >> coarsest)} * ((hf >> coarsest) + (hm >> coarsest));
    const int next_side = std::min({wf, hf, wm, hm}) >> (coarsest + 1);
    if (points <= kFftPoints || next_side < kMinLevelSide) break;
    ++coarsest;
  }

  Pyramid fixed, moving;
  {
    std::thread t([&] {
      moving.push_back(grey_of(*q.moving, mp));
      build_levels(moving, coarsest);
    });
    fixed.push_back(grey_of(*q.fixed, fp));
    build_levels(fixed, coarsest);
    t.join();
  }

  std::vector<Level> levels;
  for (int l = 0; l <= coarsest; ++l) {
    const std::int64_t need = l == 0 ? min_area : std::max<std::int64_t>(16, (min_area * 3 / 4) >> (2 * l));
    levels.push_back({fixed[l], moving[l], l == 0 ? range : scaled(range, l), need});
  }

  const CorrelationMap map =
      correlation_map(fixed[coarsest], moving[coarsest], levels[coarsest].range, levels[coarsest].min_area);
  std::vector<Peak> peaks = peaks_of(map);
  if (peaks.empty()) {
    result.reason = "the pictures are flat where they could overlap: there is nothing to match";
    return result;
  }

  // Every peak followed down to level 1, then the best ones to full resolution until two distinct
  // ones are known. A peak that falls far behind the best at some level cannot come near it any more:
  // it is left there, its score kept as a bound on the runner-up.
  double left_behind = -1;
  const auto keep_hopeful = [&left_behind](std::vector<Peak>& ps) {
    std::erase_if(ps, [](const Peak& p) { return std::isnan(p.score); });
    std::stable_sort(ps.begin(), ps.end(), [](const Peak& a, const Peak& b) { return a.score > b.score; });
    std::erase_if(ps, [&](const Peak& p) {
      const bool hopeless = p.score < ps.front().score - kHopeless;
      if (hopeless) left_behind = std::max(left_behind, p.score);
      return hopeless;
    });
  };
  keep_hopeful(peaks);
  for (int l = coarsest - 1; l >= 1; --l) {
    for (Peak& p : peaks) {
      const auto [o, s] = levels[l].climb({p.offset.u * 2, p.offset.v * 2});
      p = {o, s};
    }
    keep_hopeful(peaks);
  }
  std::vector<Peak> finals;
  for (const Peak& p : peaks) {
    if (finals.size() >= 2 && p.score < finals[1].score) break;  // it cannot change the decision
    if (!finals.empty() && p.score < finals[0].score - kHopeless) {
      left_behind = std::max(left_behind, p.score);
      break;
    }
    const Offset start = coarsest == 0 ? p.offset : Offset{p.offset.u * 2, p.offset.v * 2};
    const auto [o, s] = levels[0].climb(start);
    if (std::isnan(s)) continue;
    if (std::any_of(finals.begin(), finals.end(), [&](const Peak& f) { return same_peak(f.offset, o); }))
      continue;
    finals.push_back({o, s});
    std::stable_sort(finals.begin(), finals.end(),
                     [](const Peak& a, const Peak& b) { return a.score > b.score; });
  }
  if (finals.empty()) {
    result.reason = "the pictures are flat where they could overlap: there is nothing to match";
    return result;
  }
  result.offset = finals[0].offset;
  result.score = finals[0].score;
  result.runner_up = std::max(finals.size() > 1 ? finals[1].score : -1.0, left_behind);
  if (result.score < kMinScore) {
    result.reason = "the best match scores " + score_text(result.score) + ", below " + score_text(kMinScore) +
                    ": the pictures do not seem to share a region";
  } else if (result.score - result.runner_up < kMinLead) {
    result.reason = "another place matches nearly as well (" + score_text(result.score) + " against " +
                    score_text(result.runner_up) + "): the overlap is flat, repetitive or ambiguous";
  } else {
    result.found = true;
  }
  return result;
}

std::string score_text(double score) {
  char text[16];
  std::snprintf(text, sizeof text, "%.3f", score);
  return text;
}

}  // namespace vimbrel

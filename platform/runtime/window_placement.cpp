#include "platform/runtime/window_placement.h"

#include <algorithm>
#include <array>
#include <tuple>
#include <vector>

namespace vimbrel {
namespace {

// Keeps a window of `size` on [low, high): against the low edge when it cannot fit.
int kept_on(int pos, int size, int low, int high) {
  return std::max(low, std::min(pos, high - size));
}

ScreenPoint kept_on(const ScreenRect& screen, ScreenPoint p, const ScreenRect& window) {
  return {kept_on(p.x, window.width, screen.x, screen.right()),
          kept_on(p.y, window.height, screen.y, screen.bottom())};
}

std::int64_t covered(const ScreenRect& r, std::span<const ScreenRect> others) {
  std::int64_t sum = 0;
  for (const ScreenRect& o : others) sum += overlap(r, o);
  return sum;
}

ScreenRect at(ScreenPoint p, const ScreenRect& window) {
  return {p.x, p.y, window.width, window.height};
}

}  // namespace

std::int64_t overlap(const ScreenRect& a, const ScreenRect& b) {
  const std::int64_t w = std::min(a.right(), b.right()) - std::max(a.x, b.x);
  const std::int64_t h = std::min(a.bottom(), b.bottom()) - std::max(a.y, b.y);
  return w > 0 && h > 0 ? w * h : 0;
}

ScreenPoint place_companion(const ScreenRect& screen, const ScreenRect& main, const ScreenRect& view,
                            const ScreenRect& window, std::span<const ScreenRect> work) {
  if (main.empty()) return kept_on(screen, {screen.right() - window.width, window.y}, window);
  if (screen.right() - main.right() >= window.width) return kept_on(screen, {main.right(), main.y}, window);
  if (main.x - screen.x >= window.width) return kept_on(screen, {main.x - window.width, main.y}, window);
  const ScreenRect over = view.empty() ? main : view;
  const int left = over.x, right = over.right() - window.width;
  const int top = over.y, bottom = over.bottom() - window.height;
  const std::array<ScreenPoint, 4> corners{{{right, top}, {right, bottom}, {left, top}, {left, bottom}}};
  ScreenPoint best{};
  std::int64_t least = -1;
  for (const ScreenPoint c : corners) {
    const ScreenPoint p = kept_on(screen, c, window);
    const std::int64_t hidden = covered(at(p, window), work);
    if (least < 0 || hidden < least) best = p, least = hidden;
  }
  return best;
}

ScreenPoint place_clear(const ScreenRect& screen, const ScreenRect& window,
                        std::span<const ScreenRect> keep_clear, std::span<const ScreenRect> work) {
  // Candidates: where it is, against the work area's edges, and against each edge of what it keeps
  // clear of; every pairing of such an x and such a y.
  std::vector<int> xs{window.x, screen.x, screen.right() - window.width};
  std::vector<int> ys{window.y, screen.y, screen.bottom() - window.height};
  for (const auto& rects : {keep_clear, work}) {
    for (const ScreenRect& r : rects) {
      xs.insert(xs.end(), {r.x - window.width, r.right(), r.x});
      ys.insert(ys.end(), {r.y - window.height, r.bottom(), r.y});
    }
  }
  const ScreenPoint here = kept_on(screen, {window.x, window.y}, window);
  ScreenPoint best = here;
  std::tuple<std::int64_t, std::int64_t, std::int64_t> least{-1, 0, 0};
  for (const int x : xs) {
    for (const int y : ys) {
      const ScreenPoint p = kept_on(screen, {x, y}, window);
      const ScreenRect r = at(p, window);
      const std::int64_t dx = p.x - window.x, dy = p.y - window.y;
      const std::tuple score{covered(r, keep_clear), covered(r, work), dx * dx + dy * dy};
      if (std::get<0>(least) < 0 || score < least) best = p, least = score;
    }
  }
  return best;
}

}  // namespace vimbrel

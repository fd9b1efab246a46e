#include "join/placing.h"

#include <limits>

#include "join/canvas_size.h"
#include "join/positioning.h"
#include "join/renderer.h"
#include "platform/pixels/rounding.h"

namespace vimbrel {
namespace {

bool both_placed(const JoinDocument& d) {
  return d.a.width > 0 && d.b.width > 0 && d.a.x >= 0 && d.b.x >= 0;
}

const ImageSlot& other_image(Session& s) {
  return &controlled_image(s) == &s.doc.a ? s.doc.b : s.doc.a;
}

PixelRect drawn_part(const ImageSlot& image) {
  return {image.src_left, image.src_top, to_pixel(image.src_width), to_pixel(image.src_height)};
}

int clamp_int(std::int64_t v) {
  return static_cast<int>(
      std::clamp<std::int64_t>(v, std::numeric_limits<int>::min() / 2, std::numeric_limits<int>::max() / 2));
}

// One move of the controlled picture by (dx, dy), as a nudge makes it: the undo copy, the move, the
// redraw. Distances beyond a nudge's 16 bits go in several steps of the one move.
void move_by(Session& s, Window owner, std::int64_t dx, std::int64_t dy) {
  HOZON_SUB(s, owner);
  while (dx != 0 || dy != 0) {
    const auto step_x = static_cast<std::int16_t>(std::clamp<std::int64_t>(dx, -32768, 32767));
    const auto step_y = static_cast<std::int16_t>(std::clamp<std::int64_t>(dy, -32768, 32767));
    P_SUB(s, owner, step_x, step_y);
    dx -= step_x, dy -= step_y;
  }
  LOAD_SCG(s, owner);
}

}  // namespace

std::int64_t along_position(std::int64_t other_start, std::int64_t other_size, std::int64_t size,
                            Along along) {
  switch (along) {
    case Along::Start:
      return other_start;
    case Along::Centre: {
      const std::int64_t room = other_size - size;
      return other_start + (room >= 0 ? room / 2 : -((-room + 1) / 2));  // rounded down
    }
    case Along::End:
      return other_start + other_size - size;
  }
  return other_start;
}

AlignmentRequest alignment_request(Session& s) {
  const ImageSlot& mine = controlled_image(s);
  const ImageSlot& other = other_image(s);
  AlignmentRequest q;
  q.fixed = s.rt.read_picture(other.bitmap);
  q.fixed_part = drawn_part(other);
  q.moving = s.rt.read_picture(mine.bitmap);
  q.moving_part = drawn_part(mine);
  // The picture's corner may go from 0 to the canvas less its whole size, as the renderer holds it.
  const std::int64_t origin_x = to_pixel(other.x) + other.src_left - mine.src_left;
  const std::int64_t origin_y = to_pixel(other.y) + other.src_top - mine.src_top;
  q.range = {clamp_int(-origin_x), clamp_int(to_pixel(s.doc.canvas_width - mine.width) - origin_x),
             clamp_int(-origin_y), clamp_int(to_pixel(s.doc.canvas_height - mine.height) - origin_y)};
  return q;
}

std::optional<Alignment> ALIGN_SUB(Session& s, Window owner) {
  if (!both_placed(s.doc)) return std::nullopt;
  const AlignmentRequest q = alignment_request(s);
  if (q.fixed == nullptr || q.moving == nullptr) return std::nullopt;
  const Alignment found = find_alignment(q);
  if (!found.found) {
    s.rt.MESSAGEBOX(owner, kAlignCaption, kNoMatchText, 0, 0);
    return found;
  }
  const ImageSlot& mine = controlled_image(s);
  const ImageSlot& other = other_image(s);
  const std::int64_t x = to_pixel(other.x) + other.src_left + found.offset.u - mine.src_left;
  const std::int64_t y = to_pixel(other.y) + other.src_top + found.offset.v - mine.src_top;
  move_by(s, owner, x - to_pixel(mine.x), y - to_pixel(mine.y));
  return found;
}

void ALONG_SUB(Session& s, Window owner, Along along) {
  const std::optional<Side> side = attachment_side(s);
  if (!both_placed(s.doc) || !side) return;
  const ImageSlot& mine = controlled_image(s);
  const ImageSlot& other = other_image(s);
  if (side_by_side(*side)) {
    const std::int64_t top = along_position(to_pixel(other.y) + other.src_top, to_pixel(other.src_height),
                                            to_pixel(mine.src_height), along);
    move_by(s, owner, 0, top - mine.src_top - to_pixel(mine.y));
  } else {
    const std::int64_t left = along_position(to_pixel(other.x) + other.src_left, to_pixel(other.src_width),
                                             to_pixel(mine.src_width), along);
    move_by(s, owner, left - mine.src_left - to_pixel(mine.x), 0);
  }
}

void MENUALIGN_ON(Session& s, Window owner) {
  ALIGN_SUB(s, owner);
}
void MENUSTART_ON(Session& s, Window owner) {
  ALONG_SUB(s, owner, Along::Start);
}
void MENUCENTRE_ON(Session& s, Window owner) {
  ALONG_SUB(s, owner, Along::Centre);
}
void MENUEND_ON(Session& s, Window owner) {
  ALONG_SUB(s, owner, Along::End);
}

void add_placing_events(Session& s, EventTable& table) {
  VIMBREL_EVENT(table, s, MENUALIGN_ON);
  VIMBREL_EVENT(table, s, MENUSTART_ON);
  VIMBREL_EVENT(table, s, MENUCENTRE_ON);
  VIMBREL_EVENT(table, s, MENUEND_ON);
}

}  // namespace vimbrel

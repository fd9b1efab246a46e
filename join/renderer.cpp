#include "join/renderer.h"

#include <array>
#include <span>
#include <utility>
#include <vector>

#include "join/canvas_size.h"
#include "platform/pixels/rounding.h"

namespace vimbrel {
namespace {

// Where an unplaced coordinate goes by default: half a margin in, or flush against the other image.
enum class Default { HalfMarginX, HalfMarginY, AfterOtherX, AfterOtherY };

struct Statement {
  Twin twin;  // whose coordinate
  bool x_axis;
  Default value;
};

// Per side, in kAllSides order: four coordinates, each placed if unplaced and then fitted,
// in this order. The image placed from the other one reads the other's position after its fit.
constexpr std::array<std::array<Statement, 4>, 4> kSides = {{
    {{{Twin::A, true, Default::HalfMarginX},
      {Twin::A, false, Default::HalfMarginY},
      {Twin::B, true, Default::AfterOtherX},
      {Twin::B, false, Default::HalfMarginY}}},
    {{{Twin::A, true, Default::HalfMarginX},
      {Twin::A, false, Default::HalfMarginY},
      {Twin::B, true, Default::HalfMarginX},
      {Twin::B, false, Default::AfterOtherY}}},
    {{{Twin::B, true, Default::HalfMarginX},
      {Twin::B, false, Default::HalfMarginY},
      {Twin::A, true, Default::AfterOtherX},
      {Twin::A, false, Default::HalfMarginY}}},
    {{{Twin::B, true, Default::HalfMarginX},
      {Twin::B, false, Default::HalfMarginY},
      {Twin::A, true, Default::HalfMarginX},
      {Twin::A, false, Default::AfterOtherY}}},
}};

// Half a margin, the margin taken as a whole number and the remainder dropped.
float half_margin(float margin) {
  return static_cast<float>(static_cast<std::int64_t>(to_pixel(margin)) / 2);
}

float default_value(const JoinDocument& d, const ImageSlot& other, Default value) {
  switch (value) {
    case Default::HalfMarginX:
      return half_margin(d.margin_x);
    case Default::HalfMarginY:
      return half_margin(d.margin_y);
    case Default::AfterOtherX:
      return other.x + other.width;
    case Default::AfterOtherY:
      return other.y + other.height;
  }
  return 0;
}

void run(JoinDocument& d, const Statement& st) {
  ImageSlot& img = d.slot(st.twin);
  const ImageSlot& other = d.slot(vimbrel::other(st.twin));
  float& p = st.x_axis ? img.x : img.y;
  float& undo = st.x_axis ? img.undo_x : img.undo_y;
  if (p < 0) {
    p = default_value(d, other, st.value);
    undo = p;
  }
  // Fit by the full image size, whatever the crop hides.
  const float room = st.x_axis ? d.canvas_width : d.canvas_height;
  const float size = st.x_axis ? img.width : img.height;
  if (room < p + size) p = room - size;
}

// The canvas becomes the composite of the document as it stands. The runtime produces its pixels
// when they are needed, and only the part shown when the view copies it, so a redraw costs what
// the view shows rather than the whole canvas.
void paint_canvas(Session& s) {
  const BitmapObject canvas = s.doc.canvas_bitmap;
  if (s.rt.CHECKOBJECT(canvas) == 0) return;
  defer_composite(s.rt, canvas, plan_composite(s));
  s.rt.SETDRAWMODE(canvas, kDrawModeCopy);
}

}  // namespace

void place_for_side(JoinDocument& d, Side side) {
  for (const Statement& st : kSides[row_of(side)]) run(d, st);
}

void update_draw_positions(JoinDocument& d) {
  for (ImageSlot* img : {&d.a, &d.b}) {
    img->draw_x = img->x + img->src_left;
    img->draw_y = img->y + img->src_top;
  }
}

void LOAD_SCG(Session& s, Window owner) {
  JoinDocument& d = s.doc;
  if (d.a.width > 0 && d.b.width > 0) {
    // Four independent tests: every side whose button reads 1 runs.
    for (const Side side : kAllSides) {
      if (s.rt.GETCHECK(side_radio(s.c, side)) == 1) place_for_side(d, side);
    }
  }
  update_draw_positions(d);
  paint_canvas(s);
  if (d.a.width > 0 || d.b.width > 0) {
    d.unsaved_changes = true;
    s.shell.CG_ON_SUB(owner);
  }
  s.rt.SETTOPMOSTWINDOW(s.c.FORM3, -1);
}

void LIST1_CHANGE(Session& s, Window owner) {
  s.doc.effect_index = static_cast<std::int16_t>(s.rt.GETCURSEL(s.c.LIST1));
  LOAD_SCG(s, owner);
}

void RADIO7_ON(Session& s, Window owner) {
  LOAD_SCG(s, owner);
}

void RADIO8_ON(Session& s, Window owner) {
  LOAD_SCG(s, owner);
}

void add_renderer_events(Session& s, EventTable& table) {
  VIMBREL_EVENT(table, s, LIST1_CHANGE);
  VIMBREL_EVENT(table, s, RADIO7_ON);
  VIMBREL_EVENT(table, s, RADIO8_ON);
}

}  // namespace vimbrel

#include "sources/crop_sliders.h"

#include <cstdint>

#include "join/positioning.h"
#include "join/renderer.h"
#include "platform/pixels/rounding.h"

namespace vimbrel {
namespace {

// One axis of a crop: the leading crop (left, top) counts pixels cut off, the trailing one (right,
// bottom) is stored as a negative offset from the far edge.
struct CropAxis {
  std::int16_t ImageSlot::*lead;
  std::int16_t ImageSlot::*trail;
  float ImageSlot::*size;
  float ImageSlot::*drawn;
  std::int16_t ImageSlot::*lead_max;
  std::int16_t ImageSlot::*trail_min;
  Window Controls::*lead_bar;
  Window Controls::*trail_bar;
  // While this side radio on FORM2 is set, the trailing crop keeps its value when a fit must cut.
  Window Controls::*trailing_first;
};

constexpr CropAxis kHorizontal{&ImageSlot::src_left,  &ImageSlot::src_right_off, &ImageSlot::width,
                               &ImageSlot::src_width, &ImageSlot::src_left_max,  &ImageSlot::src_right_min,
                               &Controls::HSCROLL2,   &Controls::HSCROLL3,       &Controls::RADIO1};
constexpr CropAxis kVertical{&ImageSlot::src_top,    &ImageSlot::src_bottom_off, &ImageSlot::height,
                             &ImageSlot::src_height, &ImageSlot::src_top_max,    &ImageSlot::src_bottom_min,
                             &Controls::VSCROLL2,    &Controls::VSCROLL3,        &Controls::RADIO2};

// The slot's twin differences: which radio button selects it.
struct CropTwin {
  ImageSlot JoinDocument::*slot;
  Window Controls::*radio;
};
constexpr CropTwin kCropA{&JoinDocument::a, &Controls::RADIO5};
constexpr CropTwin kCropB{&JoinDocument::b, &Controls::RADIO6};

std::int16_t whole(float v) {
  return to_int16(v);
}

// A slider of `axis` moved: the leading one when `lead_moved`, else the trailing one.
void crop_edge_moved(Session& s, Window owner, const CropAxis& axis, bool lead_moved) {
  ImageSlot& img = controlled_image(s);
  const float size = img.*axis.size;
  // A slot without an image (one dropped for want of memory) has nothing to crop or redraw.
  if (size < 1) return;
  std::int16_t& lead = img.*axis.lead;
  std::int16_t& trail = img.*axis.trail;
  if (lead_moved) {
    lead = whole(static_cast<float>(s.rt.GETSCROLLPOS(s.c.*axis.lead_bar)));
    if (lead - trail >= size) {
      trail = whole(lead + 1 - size);
      s.rt.SETSCROLLPOS(s.c.*axis.trail_bar, trail);
    }
  } else {
    trail = whole(static_cast<float>(s.rt.GETSCROLLPOS(s.c.*axis.trail_bar)));
    if (lead - trail >= size) {
      lead = whole(size + trail - 1);
      s.rt.SETSCROLLPOS(s.c.*axis.lead_bar, lead);
    }
  }
  img.*axis.drawn = size + trail - lead;
  LOAD_SCG(s, owner);
}

// Makes one axis of a reloaded image's crop leave at least one pixel.
void fit_axis(Session& s, ImageSlot& img, const CropAxis& axis, Window slot_radio) {
  const float size = img.*axis.size;
  std::int16_t& lead = img.*axis.lead;
  std::int16_t& trail = img.*axis.trail;
  if (size < 1) {
    lead = trail = 0;
  } else if (lead - trail >= size) {
    if (s.rt.GETCHECK(s.c.*axis.trailing_first) == 1) {
      if (-trail >= size) trail = whole(-(size - 1));
      const float rest = size + trail;
      if (lead >= rest) lead = whole(rest - 1);
    } else {
      if (lead >= size) lead = whole(size - 1);
      const float rest = size - lead;
      if (-trail >= rest) trail = whole(-(rest - 1));
    }
  }
  if (s.rt.GETCHECK(slot_radio) == 1) {
    s.rt.SETSCROLLPOS(s.c.*axis.lead_bar, lead);
    s.rt.SETSCROLLPOS(s.c.*axis.trail_bar, trail);
  }
}

void fit_crop(Session& s, const CropTwin& twin) {
  ImageSlot& img = s.doc.*twin.slot;
  fit_axis(s, img, kHorizontal, s.c.*twin.radio);
  fit_axis(s, img, kVertical, s.c.*twin.radio);
}

void hand_sliders_to(Session& s, const CropTwin& twin) {
  const ImageSlot& img = s.doc.*twin.slot;
  for (const CropAxis* axis : {&kHorizontal, &kVertical}) {
    s.rt.SETSCROLLRANGE(s.c.*axis->lead_bar, 0, img.*axis->lead_max);
    s.rt.SETSCROLLRANGE(s.c.*axis->trail_bar, img.*axis->trail_min, 0);
  }
  for (const CropAxis* axis : {&kHorizontal, &kVertical}) {
    s.rt.SETSCROLLPOS(s.c.*axis->lead_bar, img.*axis->lead);
    s.rt.SETSCROLLPOS(s.c.*axis->trail_bar, img.*axis->trail);
  }
}

}  // namespace

void ACG_SRID_CHK(Session& s, Window) {
  fit_crop(s, kCropA);
}
void BCG_SRID_CHK(Session& s, Window) {
  fit_crop(s, kCropB);
}
void RADIO5_ON(Session& s, Window) {
  hand_sliders_to(s, kCropA);
}
void RADIO6_ON(Session& s, Window) {
  hand_sliders_to(s, kCropB);
}
void HSCROLL2_CHANGE(Session& s, Window owner) {
  crop_edge_moved(s, owner, kHorizontal, true);
}
void HSCROLL3_CHANGE(Session& s, Window owner) {
  crop_edge_moved(s, owner, kHorizontal, false);
}
void VSCROLL2_CHANGE(Session& s, Window owner) {
  crop_edge_moved(s, owner, kVertical, true);
}
void VSCROLL3_CHANGE(Session& s, Window owner) {
  crop_edge_moved(s, owner, kVertical, false);
}

void add_crop_events(Session& s, EventTable& table) {
  VIMBREL_EVENT(table, s, RADIO5_ON);
  VIMBREL_EVENT(table, s, RADIO6_ON);
  VIMBREL_EVENT(table, s, HSCROLL2_CHANGE);
  VIMBREL_EVENT(table, s, HSCROLL3_CHANGE);
  VIMBREL_EVENT(table, s, VSCROLL2_CHANGE);
  VIMBREL_EVENT(table, s, VSCROLL3_CHANGE);
}

}  // namespace vimbrel

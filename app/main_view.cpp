#include "app/main_view.h"

#include <algorithm>
#include <cstdint>

#include "platform/pixels/rounding.h"

namespace vimbrel {
namespace {

// The values of one axis of the view, as members of the document.
struct Axis {
  float JoinDocument::*canvas;
  std::int16_t JoinDocument::*view;
  float JoinDocument::*over;
  float JoinDocument::*unit;
  std::int16_t JoinDocument::*max;
  std::int16_t JoinDocument::*pos;
};

constexpr Axis kX{&JoinDocument::canvas_width,  &JoinDocument::view_width,   &JoinDocument::over_x,
                  &JoinDocument::scroll_unit_x, &JoinDocument::scroll_max_x, &JoinDocument::scroll_pos_x};
constexpr Axis kY{&JoinDocument::canvas_height, &JoinDocument::view_height,  &JoinDocument::over_y,
                  &JoinDocument::scroll_unit_y, &JoinDocument::scroll_max_y, &JoinDocument::scroll_pos_y};

// Past this a pixel offset no longer fits a 16-bit scroll position; the bar then runs 0 ... 10000.
constexpr float kMaxUnscaled = 32767;
constexpr std::int16_t kScaledRange = 10000;

void scroll_range(JoinDocument& d, const Axis& a) {
  d.*a.over = d.*a.canvas - static_cast<float>(d.*a.view);
  if (d.*a.over > 0) {
    if (d.*a.over > kMaxUnscaled) {
      d.*a.unit = d.*a.over / kScaledRange;
      d.*a.max = kScaledRange;
    } else {
      d.*a.max = to_int16(d.*a.over);
    }
  } else {
    d.*a.max = 0;
  }
}

// A view size never goes below 0, even when the client area is smaller than a scroll bar.
std::int16_t view_size(int v) {
  return static_cast<std::int16_t>(std::clamp(v, 0, 32767));
}

std::int16_t half(int v) {
  return static_cast<std::int16_t>(v / 2);  // truncates toward zero
}

void set_up_bar(Session& s, Window bar, const Axis& a, float x, float y, float w, float h) {
  JoinDocument& d = s.doc;
  s.rt.MOVEWINDOW(bar, x, y);
  s.rt.SETWINDOWSIZE(bar, w, h);
  s.rt.SETSCROLLRANGE(bar, 0, d.*a.max);
  const int large = d.*a.max > 10 ? d.*a.max / 10 : 1;
  s.rt.SETSCROLLSTEP(bar, 1, large);
  s.rt.SETSCROLLPOS(bar, d.*a.pos);
  s.rt.SHOWWINDOW(bar, -1);
}

// Which bars the canvas needs in the client area; strict, so an exact fit needs none.
void decide_bars(JoinDocument& d) {
  const float cw = d.canvas_width, ch = d.canvas_height;
  const int room_w = d.client_width, room_h = d.client_height;
  d.need_hbar = cw > static_cast<float>(room_w) ? 1 : 0;
  d.need_vbar = ch > static_cast<float>(room_h) ? 1 : 0;
  if (d.need_hbar == 0 && d.need_vbar == 1 && cw > static_cast<float>(room_w - d.scrollbar_size))
    d.need_hbar = 1;
  if (d.need_vbar == 0 && d.need_hbar == 1 && ch > static_cast<float>(room_h - d.scrollbar_size))
    d.need_vbar = 1;
}

}  // namespace

void SCROLL_XD_SUB(Session& s, Window) {
  scroll_range(s.doc, kX);
}

void SCROLL_YD_SUB(Session& s, Window) {
  scroll_range(s.doc, kY);
}

void WIN_SAIZU_SUB(Session& s, Window owner) {
  JoinDocument& d = s.doc;
  const Controls& c = s.c;
  d.win_width = to_int16(s.rt.GETWIDTH(c.MAINFORM));
  d.win_height = to_int16(s.rt.GETHEIGHT(c.MAINFORM));
  if (d.last_canvas_width == d.canvas_width && d.last_canvas_height == d.canvas_height &&
      d.last_win_width == d.win_width && d.last_win_height == d.win_height) {
    return;
  }
  s.rt.SHOWWINDOW(c.BUTTON[1], 0);
  d.last_win_width = d.win_width;
  d.last_win_height = d.win_height;
  d.client_width = static_cast<std::int16_t>(d.win_width - 2 * d.frame_size);
  d.client_height = static_cast<std::int16_t>(d.win_height - d.title_bar_height - d.frame_size);
  decide_bars(d);
  d.scroll_unit_x = 1;
  d.scroll_unit_y = 1;

  const int cw = to_pixel(d.canvas_width), ch = to_pixel(d.canvas_height);
  const int bar = d.scrollbar_size;
  int x = 0, y = 0;
  if (d.need_hbar == 0 && d.need_vbar == 0) {
    x = half(d.client_width - cw), y = half(d.client_height - ch);
    d.view_width = view_size(cw), d.view_height = view_size(ch);
    d.scroll_pos_x = 0, d.scroll_pos_y = 0;
  } else if (d.need_vbar == 0) {
    y = half(d.client_height - ch - bar);
    d.view_width = view_size(d.client_width), d.view_height = view_size(ch);
    d.scroll_pos_y = 0;
  } else if (d.need_hbar == 0) {
    x = half(d.client_width - cw - bar);
    d.view_width = view_size(cw), d.view_height = view_size(d.client_height);
    d.scroll_pos_x = 0;
  } else {
    d.view_width = view_size(d.client_width - bar), d.view_height = view_size(d.client_height - bar);
  }
  if (d.need_hbar == 0) s.rt.SHOWWINDOW(c.HSCROLL1, 0);
  if (d.need_vbar == 0) s.rt.SHOWWINDOW(c.VSCROLL1, 0);
  d.last_canvas_width = d.canvas_width;
  d.last_canvas_height = d.canvas_height;

  s.rt.MOVEWINDOW(c.PICTURE1, static_cast<float>(x), static_cast<float>(y));
  s.rt.SETWINDOWSIZE(c.PICTURE1, d.view_width, d.view_height);
  if (d.need_hbar == 1) {
    SCROLL_XD_SUB(s, owner);
    set_up_bar(s, c.HSCROLL1, kX, static_cast<float>(x), static_cast<float>(y + d.view_height), d.view_width,
               bar);
  }
  if (d.need_vbar == 1) {
    SCROLL_YD_SUB(s, owner);
    set_up_bar(s, c.VSCROLL1, kY, static_cast<float>(x + d.view_width), static_cast<float>(y), bar,
               d.view_height);
  }
  if (d.need_hbar == 1 && d.need_vbar == 1) {
    d.corner_state = 1;
    s.rt.SETWINDOWSIZE(c.BUTTON[1], bar, bar);
    s.rt.SETWINDOWTEXT(c.BUTTON[1], "┛");
    s.rt.MOVEWINDOW(c.BUTTON[1], d.view_width, d.view_height);
    s.rt.SHOWWINDOW(c.BUTTON[1], -1);
  }
}

void CG_UP_SUB(Session& s, Window) {
  JoinDocument& d = s.doc;
  if (s.rt.CHECKOBJECT(d.canvas_bitmap) == 0) return;
  d.view_x = static_cast<float>(d.scroll_pos_x) * d.scroll_unit_x;
  d.view_y = static_cast<float>(d.scroll_pos_y) * d.scroll_unit_y;
  // A kept scroll position can point past the canvas after the window grew: the part beyond the
  // canvas is shown blank rather than as whatever the view held before.
  const std::int64_t sx = to_pixel(d.view_x), sy = to_pixel(d.view_y);
  if (sx < 0 || sy < 0 || sx + d.view_width > to_pixel(s.rt.GETBITMAPWIDTH(d.canvas_bitmap)) ||
      sy + d.view_height > to_pixel(s.rt.GETBITMAPHEIGHT(d.canvas_bitmap))) {
    s.rt.CLEARPICTURE(s.c.PICTURE1);
  }
  s.rt.BITBLT(s.c.PICTURE1, 0, 0, d.view_width, d.view_height, d.canvas_bitmap, d.view_x, d.view_y);
}

void CG_ON_SUB(Session& s, Window owner) {
  WIN_SAIZU_SUB(s, owner);
  CG_UP_SUB(s, owner);
}

void MAINFORM_RESIZE(Session& s, Window owner) {
  CG_ON_SUB(s, owner);
}

void HSCROLL1_CHANGE(Session& s, Window owner) {
  s.doc.scroll_pos_x = static_cast<std::int16_t>(s.rt.GETSCROLLPOS(s.c.HSCROLL1));
  CG_UP_SUB(s, owner);
}

void VSCROLL1_CHANGE(Session& s, Window owner) {
  s.doc.scroll_pos_y = static_cast<std::int16_t>(s.rt.GETSCROLLPOS(s.c.VSCROLL1));
  CG_UP_SUB(s, owner);
}

void BUTTON1_ON(Session& s, Window owner) {
  JoinDocument& d = s.doc;
  if (d.corner_state == 0) {
    d.corner_state = 1;
    s.rt.SETWINDOWTEXT(s.c.BUTTON[1], "┛");
    d.scroll_pos_x = 0, d.scroll_pos_y = 0;
  } else {
    d.corner_state = 0;
    s.rt.SETWINDOWTEXT(s.c.BUTTON[1], "┏");
    d.scroll_pos_x = d.scroll_max_x, d.scroll_pos_y = d.scroll_max_y;
  }
  s.rt.SETSCROLLPOS(s.c.HSCROLL1, d.scroll_pos_x);
  s.rt.SETSCROLLPOS(s.c.VSCROLL1, d.scroll_pos_y);
  CG_UP_SUB(s, owner);
}

void add_view_events(Session& s, EventTable& table) {
  VIMBREL_EVENT(table, s, MAINFORM_RESIZE);
  VIMBREL_EVENT(table, s, HSCROLL1_CHANGE);
  VIMBREL_EVENT(table, s, VSCROLL1_CHANGE);
  VIMBREL_EVENT(table, s, BUTTON1_ON);
}

}  // namespace vimbrel

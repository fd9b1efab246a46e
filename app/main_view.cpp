#include "app/main_view.h"

#include <algorithm>
#include <cstdint>

#include "app/view_layout.h"
#include "platform/pixels/rounding.h"

namespace vimbrel {
namespace {

// The values of one axis of the view: the canvas size in the document, the rest in its view state.
struct Axis {
  float JoinDocument::*canvas;
  std::int16_t ViewState::*view;
  float ViewState::*over;
  float ViewState::*unit;
  std::int16_t ViewState::*max;
  std::int16_t ViewState::*pos;
};

constexpr Axis kX{&JoinDocument::canvas_width, &ViewState::view_width,   &ViewState::over_x,
                  &ViewState::scroll_unit_x,   &ViewState::scroll_max_x, &ViewState::scroll_pos_x};
constexpr Axis kY{&JoinDocument::canvas_height, &ViewState::view_height,  &ViewState::over_y,
                  &ViewState::scroll_unit_y,    &ViewState::scroll_max_y, &ViewState::scroll_pos_y};

// Past this a pixel offset no longer fits a 16-bit scroll position; the bar then runs 0 ... 10000.
constexpr float kMaxUnscaled = 32767;
constexpr std::int16_t kScaledRange = 10000;

void scroll_range(JoinDocument& d, const Axis& a) {
  ViewState& v = d.view;
  v.*a.over = d.*a.canvas - static_cast<float>(v.*a.view);
  if (v.*a.over > 0) {
    if (v.*a.over > kMaxUnscaled) {
      v.*a.unit = v.*a.over / kScaledRange;
      v.*a.max = kScaledRange;
    } else {
      v.*a.max = to_int16(v.*a.over);
    }
  } else {
    v.*a.max = 0;
  }
}

void set_up_bar(Session& s, Window bar, const Axis& a, float x, float y, float w, float h) {
  JoinDocument& d = s.doc;
  s.rt.MOVEWINDOW(bar, x, y);
  s.rt.SETWINDOWSIZE(bar, w, h);
  s.rt.SETSCROLLRANGE(bar, 0, d.view.*a.max);
  const int large = d.view.*a.max > 10 ? d.view.*a.max / 10 : 1;
  s.rt.SETSCROLLSTEP(bar, 1, large);
  s.rt.SETSCROLLPOS(bar, d.view.*a.pos);
  s.rt.SHOWWINDOW(bar, -1);
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
  d.view.win_width = to_int16(s.rt.GETWIDTH(c.MAINFORM));
  d.view.win_height = to_int16(s.rt.GETHEIGHT(c.MAINFORM));
  // The client area as the window system has it now: its frame can change with the window's state
  // (maximized, restored), so it is not worked out from frame sizes read once.
  const std::int16_t client_width = to_int16(s.rt.GETCLIENTWIDTH(c.MAINFORM));
  const std::int16_t client_height = to_int16(s.rt.GETCLIENTHEIGHT(c.MAINFORM));
  if (d.view.last_canvas_width == d.canvas_width && d.view.last_canvas_height == d.canvas_height &&
      d.view.last_win_width == d.view.win_width && d.view.last_win_height == d.view.win_height &&
      d.view.client_width == client_width && d.view.client_height == client_height) {
    return;
  }
  s.rt.SHOWWINDOW(c.BUTTON[1], 0);
  d.view.last_win_width = d.view.win_width;
  d.view.last_win_height = d.view.win_height;
  d.view.client_width = client_width;
  d.view.client_height = client_height;
  const int bar = d.view.scrollbar_size;
  const ViewLayout l = layout_view(d.canvas_width, d.canvas_height, client_width, client_height, bar);
  d.view.need_hbar = l.hbar ? 1 : 0;
  d.view.need_vbar = l.vbar ? 1 : 0;
  d.view.scroll_unit_x = 1;
  d.view.scroll_unit_y = 1;
  d.view.view_width = l.view_width;
  d.view.view_height = l.view_height;
  if (!l.keep_x) d.view.scroll_pos_x = 0;
  if (!l.keep_y) d.view.scroll_pos_y = 0;
  if (!l.hbar) s.rt.SHOWWINDOW(c.HSCROLL1, 0);
  if (!l.vbar) s.rt.SHOWWINDOW(c.VSCROLL1, 0);
  d.view.last_canvas_width = d.canvas_width;
  d.view.last_canvas_height = d.canvas_height;

  const auto x = static_cast<float>(l.x), y = static_cast<float>(l.y);
  s.rt.MOVEWINDOW(c.PICTURE1, x, y);
  s.rt.SETWINDOWSIZE(c.PICTURE1, d.view.view_width, d.view.view_height);
  if (l.hbar) {
    SCROLL_XD_SUB(s, owner);
    set_up_bar(s, c.HSCROLL1, kX, x, y + d.view.view_height, d.view.view_width, bar);
  }
  if (l.vbar) {
    SCROLL_YD_SUB(s, owner);
    set_up_bar(s, c.VSCROLL1, kY, x + d.view.view_width, y, bar, d.view.view_height);
  }
  if (l.hbar && l.vbar) {
    d.view.corner_state = 1;
    s.rt.SETWINDOWSIZE(c.BUTTON[1], bar, bar);
    s.rt.SETWINDOWTEXT(c.BUTTON[1], "┛");
    s.rt.MOVEWINDOW(c.BUTTON[1], d.view.view_width, d.view.view_height);
    s.rt.SHOWWINDOW(c.BUTTON[1], -1);
  }
}

void CG_UP_SUB(Session& s, Window) {
  JoinDocument& d = s.doc;
  if (s.rt.CHECKOBJECT(d.canvas_bitmap) == 0) return;
  d.view.view_x = static_cast<float>(d.view.scroll_pos_x) * d.view.scroll_unit_x;
  d.view.view_y = static_cast<float>(d.view.scroll_pos_y) * d.view.scroll_unit_y;
  // A kept scroll position can point past the canvas after the window grew: the part beyond the
  // canvas is shown blank rather than as whatever the view held before.
  const std::int64_t sx = to_pixel(d.view.view_x), sy = to_pixel(d.view.view_y);
  if (sx < 0 || sy < 0 || sx + d.view.view_width > to_pixel(s.rt.GETBITMAPWIDTH(d.canvas_bitmap)) ||
      sy + d.view.view_height > to_pixel(s.rt.GETBITMAPHEIGHT(d.canvas_bitmap))) {
    s.rt.CLEARPICTURE(s.c.PICTURE1);
  }
  s.rt.BITBLT(s.c.PICTURE1, 0, 0, d.view.view_width, d.view.view_height, d.canvas_bitmap, d.view.view_x,
              d.view.view_y);
}

void CG_ON_SUB(Session& s, Window owner) {
  WIN_SAIZU_SUB(s, owner);
  CG_UP_SUB(s, owner);
}

void MAINFORM_RESIZE(Session& s, Window owner) {
  CG_ON_SUB(s, owner);
}

void HSCROLL1_CHANGE(Session& s, Window owner) {
  s.doc.view.scroll_pos_x = static_cast<std::int16_t>(s.rt.GETSCROLLPOS(s.c.HSCROLL1));
  CG_UP_SUB(s, owner);
}

void VSCROLL1_CHANGE(Session& s, Window owner) {
  s.doc.view.scroll_pos_y = static_cast<std::int16_t>(s.rt.GETSCROLLPOS(s.c.VSCROLL1));
  CG_UP_SUB(s, owner);
}

void BUTTON1_ON(Session& s, Window owner) {
  JoinDocument& d = s.doc;
  if (d.view.corner_state == 0) {
    d.view.corner_state = 1;
    s.rt.SETWINDOWTEXT(s.c.BUTTON[1], "┛");
    d.view.scroll_pos_x = 0, d.view.scroll_pos_y = 0;
  } else {
    d.view.corner_state = 0;
    s.rt.SETWINDOWTEXT(s.c.BUTTON[1], "┏");
    d.view.scroll_pos_x = d.view.scroll_max_x, d.view.scroll_pos_y = d.view.scroll_max_y;
  }
  s.rt.SETSCROLLPOS(s.c.HSCROLL1, d.view.scroll_pos_x);
  s.rt.SETSCROLLPOS(s.c.VSCROLL1, d.view.scroll_pos_y);
  CG_UP_SUB(s, owner);
}

void add_view_events(Session& s, EventTable& table) {
  VIMBREL_EVENT(table, s, MAINFORM_RESIZE);
  VIMBREL_EVENT(table, s, HSCROLL1_CHANGE);
  VIMBREL_EVENT(table, s, VSCROLL1_CHANGE);
  VIMBREL_EVENT(table, s, BUTTON1_ON);
}

}  // namespace vimbrel

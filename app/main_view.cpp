#include "app/main_view.h"

#include <algorithm>
#include <cstdint>

#include "app/title.h"
#include "app/view_layout.h"
#include "app/view_menu.h"
#include "app/view_scale.h"
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

ViewInput input_of(const Session& s, std::int16_t client_width, std::int16_t client_height) {
  const JoinDocument& d = s.doc;
  ViewInput in;
  in.canvas_width = d.canvas_width, in.canvas_height = d.canvas_height;
  in.client_width = client_width, in.client_height = client_height;
  in.bar = d.view.scrollbar_size;
  in.chosen = {d.view.fit, d.view.chosen_scale};
  in.device_ratio = d.view.device_ratio;
  in.scroll_pos_x = d.view.scroll_pos_x, in.scroll_pos_y = d.view.scroll_pos_y;
  return in;
}

void scroll_range(JoinDocument& d, const Axis& a, const ViewAxis& shown) {
  ViewState& v = d.view;
  v.*a.over = shown.over;
  if (shown.max > 0 && shown.unit != 1) v.*a.unit = shown.unit;
  v.*a.max = shown.max;
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

ViewShown shown_now(const Session& s) {
  return show_view(input_of(s, s.doc.view.client_width, s.doc.view.client_height));
}

void SCROLL_XD_SUB(Session& s, Window) {
  scroll_range(s.doc, kX, shown_now(s).x);
}

void SCROLL_YD_SUB(Session& s, Window) {
  scroll_range(s.doc, kY, shown_now(s).y);
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
  d.view.device_ratio = s.rt.GETDEVICERATIO(c.MAINFORM);
  if (d.view.last_canvas_width == d.canvas_width && d.view.last_canvas_height == d.canvas_height &&
      d.view.last_win_width == d.view.win_width && d.view.last_win_height == d.view.win_height &&
      d.view.client_width == client_width && d.view.client_height == client_height &&
      d.view.last_fit == d.view.fit && d.view.last_chosen_scale == d.view.chosen_scale &&
      d.view.last_device_ratio == d.view.device_ratio) {
    return;
  }
  s.rt.SHOWWINDOW(c.BUTTON[1], 0);
  d.view.last_win_width = d.view.win_width;
  d.view.last_win_height = d.view.win_height;
  d.view.client_width = client_width;
  d.view.client_height = client_height;
  const int bar = d.view.scrollbar_size;
  d.view.last_fit = d.view.fit;
  d.view.last_chosen_scale = d.view.chosen_scale;
  d.view.last_device_ratio = d.view.device_ratio;
  const double scale_before = d.view.scale;
  const ViewShown shown = show_view(input_of(s, client_width, client_height));
  const ViewLayout& l = shown.layout;
  d.view.scale = shown.scale;
  d.view.zoom = shown.zoom;
  d.view.picture_x = static_cast<std::int16_t>(l.x), d.view.picture_y = static_cast<std::int16_t>(l.y);
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
  if (d.view.scale != scale_before) {  // a fit follows the window: the title and menu say so
    TITLE_SET(s, owner);
    view_menu_checks(s);
  }
}

void CG_SHOW_SUB(Session& s, Window) {
  JoinDocument& d = s.doc;
  if (s.rt.CHECKOBJECT(d.canvas_bitmap) == 0) return;
  const ViewShown v = shown_now(s);
  if (v.plain) {
    s.rt.BITBLT(s.c.PICTURE1, 0, 0, d.view.view_width, d.view.view_height, d.canvas_bitmap, d.view.view_x,
                d.view.view_y);
    return;
  }
  s.rt.SCALEBLT(s.c.PICTURE1, 0, 0, static_cast<float>(v.x.surface), static_cast<float>(v.y.surface),
                d.canvas_bitmap, d.view.view_x, d.view.view_y, v.scale);
}

void CG_UP_SUB(Session& s, Window owner) {
  JoinDocument& d = s.doc;
  if (s.rt.CHECKOBJECT(d.canvas_bitmap) == 0) return;
  d.view.view_x = static_cast<float>(d.view.scroll_pos_x) * d.view.scroll_unit_x;
  d.view.view_y = static_cast<float>(d.view.scroll_pos_y) * d.view.scroll_unit_y;
  if (!shown_now(s).plain) {
    CG_SHOW_SUB(s, owner);  // blank where it reaches past the canvas
    return;
  }
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

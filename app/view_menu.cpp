#include "app/view_menu.h"

#include "app/main_view.h"
#include "app/title.h"
#include "app/view_scale.h"
#include "join/shown_work.h"

namespace vimbrel {
namespace {

Window item(Session& s, const char* name) {
  return s.rt.GETDLGITEM(s.c.MAINFORM, name);
}

// Sets the scale chosen, then lays out and shows the view with canvas point (cx, cy) at client point
// (px, py) of the main window, as near as the scroll range allows.
void rescale(Session& s, Window owner, ViewScale chosen, double px, double py) {
  JoinDocument& d = s.doc;
  const double cx = d.view.view_x + (px - d.view.picture_x) / d.view.zoom;
  const double cy = d.view.view_y + (py - d.view.picture_y) / d.view.zoom;
  d.view.fit = chosen.fit;
  d.view.chosen_scale = chosen.scale;
  WIN_SAIZU_SUB(s, owner);
  ViewInput in;
  in.canvas_width = d.canvas_width, in.canvas_height = d.canvas_height;
  in.client_width = d.view.client_width, in.client_height = d.view.client_height;
  in.bar = d.view.scrollbar_size;
  in.chosen = chosen;
  in.device_ratio = d.view.device_ratio;
  const ViewShown v = show_view(in);
  d.view.scroll_pos_x = scroll_for_point(v, true, cx, px - v.layout.x);
  d.view.scroll_pos_y = scroll_for_point(v, false, cy, py - v.layout.y);
  if (v.layout.hbar) s.rt.SETSCROLLPOS(s.c.HSCROLL1, d.view.scroll_pos_x);
  if (v.layout.vbar) s.rt.SETSCROLLPOS(s.c.VSCROLL1, d.view.scroll_pos_y);
  CG_UP_SUB(s, owner);
  TITLE_SET(s, owner);
  view_menu_checks(s);
}

// About the centre of what the view shows. The pictures now lie elsewhere on the screen: the
// controller moves off them again, unless the user has placed it (a Ctrl+wheel zoom leaves it be).
void rescale_about_centre(Session& s, Window owner, ViewScale chosen) {
  const ViewState& v = s.doc.view;
  rescale(s, owner, chosen, v.picture_x + v.view_width / 2.0, v.picture_y + v.view_height / 2.0);
  s.rt.PLACEFORM(s.c.FORM3, shown_work(s.doc));
}

}  // namespace

void view_menu_checks(Session& s) {
  const ViewState& v = s.doc.view;
  s.rt.SETCHECK(item(s, "VIEW_ACTUAL"), !v.fit && v.chosen_scale == 1 ? 1 : 0);
  s.rt.SETCHECK(item(s, "VIEW_FIT"), v.fit ? 1 : 0);
  const auto steps = view_steps();
  s.rt.ENABLEWINDOW(item(s, "VIEW_ZOOMIN"), v.scale < steps.back() ? -1 : 0);
  s.rt.ENABLEWINDOW(item(s, "VIEW_ZOOMOUT"), v.scale > steps.front() ? -1 : 0);
}

void VIEW_ACTUAL_ON(Session& s, Window owner) {
  rescale_about_centre(s, owner, {false, 1});
}

void VIEW_ZOOMIN_ON(Session& s, Window owner) {
  rescale_about_centre(s, owner, {false, step_in(s.doc.view.scale)});
}

void VIEW_ZOOMOUT_ON(Session& s, Window owner) {
  rescale_about_centre(s, owner, {false, step_out(s.doc.view.scale)});
}

void VIEW_FIT_ON(Session& s, Window owner) {
  rescale_about_centre(s, owner, {true, s.doc.view.chosen_scale});
}

void PICTURE1_WHEEL(Session& s, const EventArgs& e) {
  if ((e.shift & kCtrlKey) == 0 || e.wheel == 0) return;
  const double scale = e.wheel > 0 ? step_in(s.doc.view.scale) : step_out(s.doc.view.scale);
  rescale(s, e.owner, {false, scale}, s.doc.view.picture_x + e.x, s.doc.view.picture_y + e.y);
}

void add_view_menu_events(Session& s, EventTable& table) {
  VIMBREL_EVENT(table, s, VIEW_ACTUAL_ON);
  VIMBREL_EVENT(table, s, VIEW_ZOOMIN_ON);
  VIMBREL_EVENT(table, s, VIEW_ZOOMOUT_ON);
  VIMBREL_EVENT(table, s, VIEW_FIT_ON);
  VIMBREL_EVENT(table, s, PICTURE1_WHEEL);
}

}  // namespace vimbrel

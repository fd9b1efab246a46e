#include "app/startup.h"

#include <string>

#include "app/menus.h"
#include "app/settings_file.h"
#include "app/title.h"
#include "join/canvas_settings.h"
#include "join/effects.h"
#include "platform/pixels/rounding.h"
#include "platform/pixels/runtime_error.h"
#include "platform/runtime/path_builtins.h"

namespace vimbrel {
namespace {

constexpr const char* kWorkFileName = "DAMMY.BMP";

void bind_control(Session& s, Window form, Window& variable, const std::string& name) {
  FormRuntime::ATTACH(variable, s.rt.GETDLGITEM(form, name));
  const std::optional<ControlKind> kind = s.rt.kind_of(variable);
  const bool scroll_bar = kind == ControlKind::HScroll || kind == ControlKind::VScroll;
  if (!scroll_bar && kind != ControlKind::Picture)
    s.rt.SETFONTSIZE(variable, s.rt.layout_of(variable)->font_size);
}

Window form_of_button(const Controls& c, int n) {
  if (n == 1) return Window{};
  return n == 2 ? c.FORM2 : c.FORM3;
}

// The 88 controls, in binding order; the canvas bitmap is made just before PICTURE1 is bound.
void bind_controls(Session& s) {
  Controls& c = s.c;
  for (int n = 1; n <= 62; ++n) {
    bind_control(s, form_of_button(c, n), c.BUTTON[static_cast<std::size_t>(n)],
                 "BUTTON" + std::to_string(n));
  }
  bind_control(s, c.FORM2, c.EDIT1, "Edit1");
  bind_control(s, c.FORM2, c.EDIT2, "Edit2");
  bind_control(s, c.FORM2, c.TEXT1, "TEXT1");
  bind_control(s, c.FORM2, c.TEXT2, "TEXT2");
  bind_control(s, c.FORM2, c.TEXT3, "TEXT3");
  bind_control(s, c.FORM3, c.TEXT4, "TEXT4");
  Window* radios[] = {&c.RADIO1, &c.RADIO2, &c.RADIO3, &c.RADIO4, &c.RADIO5, &c.RADIO6, &c.RADIO7, &c.RADIO8};
  for (int n = 1; n <= 8; ++n)
    bind_control(s, n <= 4 ? c.FORM2 : c.FORM3, *radios[n - 1], "RADIO" + std::to_string(n));
  bind_control(s, c.FORM3, c.CHECK1, "CHECK1");
  bind_control(s, c.FORM3, c.LIST1, "LIST1");
  bind_control(s, c.FORM3, c.GROUP2, "GROUP2");
  bind_control(s, c.FORM3, c.GROUP3, "GROUP3");
  bind_control(s, c.FORM3, c.GROUP4, "GROUP4");
  bind_control(s, Window{}, c.HSCROLL1, "HSCROLL1");
  bind_control(s, Window{}, c.VSCROLL1, "VSCROLL1");
  bind_control(s, c.FORM3, c.HSCROLL2, "HSCROLL2");
  bind_control(s, c.FORM3, c.VSCROLL2, "VSCROLL2");
  bind_control(s, c.FORM3, c.HSCROLL3, "HSCROLL3");
  bind_control(s, c.FORM3, c.VSCROLL3, "VSCROLL3");
  for (const Window bar : {c.HSCROLL2, c.VSCROLL2, c.HSCROLL3, c.VSCROLL3}) s.rt.SETSCROLLSTEP(bar, 1, 10);
  s.rt.BITMAPOBJECT(s.doc.canvas_bitmap);
  s.rt.CREATEBITMAP(s.doc.canvas_bitmap, 10, 10);
  s.rt.SETMAPMODE(s.doc.canvas_bitmap, 1);
  bind_control(s, Window{}, c.PICTURE1, "PICTURE1");
  s.rt.SETMAPMODE(c.PICTURE1, 1);
}

}  // namespace

void start_up(Session& s, const std::filesystem::path& settings_folder) {
  s.doc.settings_file = (settings_folder / kSettingsFileName).string();
  start_up(s, [&settings_folder] { return read_work_drive(settings_folder); });
}

void start_up(Session& s, const std::function<std::string()>& work_drive) {
  JoinDocument& d = s.doc;
  FormRuntime& rt = s.rt;
  d.app_title = "VimbrelVer1.3";
  FormRuntime::ATTACH(s.c.MAINFORM, rt.GETDLGITEM(Window{}, "MAINFORM"));
  rt.SETMAPMODE(s.c.MAINFORM, 1);
  d.view.scrollbar_size = 16;
  rt.CREATEWINDOW(s.c.FORM2, "FORM2", 0);
  rt.CREATEWINDOW(s.c.FORM3, "FORM3", -1);
  rt.CREATEWINDOW(s.c.FORM4, "FORM4", 0);
  rt.BITMAPOBJECT(d.a.bitmap);
  rt.BITMAPOBJECT(d.b.bitmap);
  d.view.title_bar_height = static_cast<std::int16_t>(
      rt.GetSystemMetrics(SM_CYSIZE) + rt.GetSystemMetrics(SM_CYFRAME) + rt.GetSystemMetrics(SM_CYBORDER));
  d.view.frame_size = static_cast<std::int16_t>(rt.GetSystemMetrics(SM_CYFRAME));
  bind_controls(s);
  d.a.open_dir = CURRENT_DIR("");
  d.b.open_dir = CURRENT_DIR("");
  d.save_dir = CURRENT_DIR("");
  d.margin_x = 50.0f;
  d.margin_y = 50.0f;
  rt.MOVEWINDOW(s.c.MAINFORM, 0, 0);
  rt.MAXIMIZEWINDOW(s.c.MAINFORM);
  d.view.last_win_width = to_int16(rt.GETWIDTH(s.c.MAINFORM));
  d.view.last_win_height = to_int16(rt.GETHEIGHT(s.c.MAINFORM));
  for (const Effect& effect : kEffects) rt.ADDSTRING(s.c.LIST1, effect.label);
  d.effect_index = 0;
  MENU_RESET(s, Window{});
  keep_selector(d.selector, kSelectorLayouts[row_of(Side::Right)]);
  d.work_drive = work_drive();
  d.work_file_path = d.work_drive + kWorkFileName;
  TITLE_SET(s, Window{});
  rt.SETFOREGROUNDWINDOW(s.c.FORM3);
}

void use_private_work_folder(Session& s, const std::string& folder) {
  if (!folder.empty()) s.doc.work_file_path = folder + kWorkFileName;
}

int run_event_loop(Session& s) {
  s.doc.run_flag = 1;
  try {
    while (s.doc.run_flag == 1) s.rt.WAITEVENT(0);
  } catch (const ProgramEnded& end) {
    return end.status;
  }
  return 0;
}

void MAINFORM_END(Session& s, Window) {
  s.rt.DESTROYWINDOW(s.c.MAINFORM);
  s.rt.DELETEOBJECT(s.doc.canvas_bitmap);
}

}  // namespace vimbrel

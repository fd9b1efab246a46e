#include "app/menus.h"

namespace vimbrel {
namespace {

// GROUP2 ... GROUP4, BUTTON3 ... BUTTON51, BUTTON53 ... BUTTON62, in that order, then the 編集 menu.
void enable_commands(Session& s, int flag) {
  for (const Window g : {s.c.GROUP2, s.c.GROUP3, s.c.GROUP4}) s.rt.ENABLEWINDOW(g, flag);
  for (int n = 3; n <= 51; ++n) s.rt.ENABLEWINDOW(s.c.BUTTON[static_cast<std::size_t>(n)], flag);
  for (int n = 53; n <= 62; ++n) s.rt.ENABLEWINDOW(s.c.BUTTON[static_cast<std::size_t>(n)], flag);
  // The 編集 menu's commands move pictures as the pad does.
  for (const char* item : {"MENUALIGN", "MENUSTART", "MENUCENTRE", "MENUEND"})
    s.rt.ENABLEWINDOW(s.rt.GETDLGITEM(s.c.MAINFORM, item), flag);
}

void enable_choices(Session& s, int flag) {
  for (const Window w : {s.c.RADIO5, s.c.RADIO6, s.c.RADIO7, s.c.RADIO8, s.c.TEXT4, s.c.LIST1}) {
    s.rt.ENABLEWINDOW(w, flag);
  }
}

void enable_crop_bars(Session& s, int flag) {
  for (const Window w : {s.c.HSCROLL2, s.c.HSCROLL3, s.c.VSCROLL2, s.c.VSCROLL3}) s.rt.ENABLEWINDOW(w, flag);
}

}  // namespace

void MENU_RESET(Session& s, Window) {
  enable_commands(s, 0);
  s.rt.SETCHECK(s.c.RADIO5, 0);
  s.rt.SETCHECK(s.c.RADIO6, 1);
  s.rt.SETCHECK(s.c.RADIO7, 0);
  s.rt.SETCHECK(s.c.RADIO8, 1);
  enable_choices(s, 0);
  enable_crop_bars(s, 0);
}

void MENU_ALLSET(Session& s, Window) {
  enable_commands(s, -1);
  enable_choices(s, -1);
  s.rt.SETCURSEL(s.c.LIST1, 0);
  s.doc.effect_index = 0;
  s.doc.cutout.cutout_source = kNeither;
  enable_crop_bars(s, -1);
}

}  // namespace vimbrel

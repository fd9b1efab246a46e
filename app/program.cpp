#include "app/program.h"

#include "app/file_drop.h"
#include "app/key_commands.h"
#include "app/main_view.h"
#include "app/menus.h"
#include "app/startup.h"
#include "app/title.h"
#include "app/view_menu.h"
#include "join/clipboard.h"
#include "join/new_canvas.h"
#include "join/placing.h"
#include "join/positioning.h"
#include "join/renderer.h"
#include "join/saving.h"
#include "sources/crop_sliders.h"
#include "sources/cutout.h"
#include "sources/load_buttons.h"

namespace vimbrel {

void wire_program(Session& s) {
  s.shell.TITLE_SET = [&s](Window owner) { TITLE_SET(s, owner); };
  s.shell.CG_ON_SUB = [&s](Window owner) { CG_ON_SUB(s, owner); };
  s.shell.CG_SHOW_SUB = [&s](Window owner) { CG_SHOW_SUB(s, owner); };
  s.shell.MENU_RESET = [&s](Window owner) { MENU_RESET(s, owner); };
  s.shell.MENU_ALLSET = [&s](Window owner) { MENU_ALLSET(s, owner); };

  EventTable table;
  VIMBREL_EVENT(table, s, MAINFORM_END);
  add_view_events(s, table);
  add_view_menu_events(s, table);
  add_renderer_events(s, table);
  add_new_canvas_events(s, table);
  add_positioning_events(s, table);
  add_placing_events(s, table);
  add_key_command_events(s, table);
  add_clipboard_events(s, table);
  add_saving_events(s, table);
  add_loading_events(s, table);
  add_crop_events(s, table);
  add_cutout_events(s, table);
  s.rt.set_event_table(std::move(table));
  add_drop_rule(s);
}

}  // namespace vimbrel

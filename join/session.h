// A running program: the form runtime, the join document and the bound controls, passed to every
// procedure. The shell's procedures that lower layers call (title, view, enabling) are reached
// through `shell`, which the application wires at start.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "join/join_document.h"
#include "platform/runtime/form_runtime.h"

namespace vimbrel {

// Forms and the 88 bound controls, by their names.
struct Controls {
  Window MAINFORM, FORM2, FORM3, FORM4;
  std::array<Window, 63> BUTTON{};  // BUTTON[1] ... BUTTON[62]; [0] unused
  Window EDIT1, EDIT2;
  Window TEXT1, TEXT2, TEXT3, TEXT4;
  Window RADIO1, RADIO2, RADIO3, RADIO4, RADIO5, RADIO6, RADIO7, RADIO8;
  Window CHECK1, LIST1;
  Window GROUP2, GROUP3, GROUP4;
  Window HSCROLL1, VSCROLL1, HSCROLL2, VSCROLL2, HSCROLL3, VSCROLL3;
  Window PICTURE1;
};

// Procedures of the application shell that the joining and source procedures call.
struct ShellCalls {
  std::function<void(Window owner)> TITLE_SET;
  std::function<void(Window owner)> CG_ON_SUB;
  // Shows the canvas from view_x, view_y at the view's scale (what a pan copies when not at 100 %).
  std::function<void(Window owner)> CG_SHOW_SUB;
  std::function<void(Window owner)> MENU_RESET;
  std::function<void(Window owner)> MENU_ALLSET;
};

struct Session {
  explicit Session(FormRuntime& runtime) : rt(runtime) {}
  FormRuntime& rt;
  JoinDocument doc;
  Controls c;
  ShellCalls shell;
  // The file type "結合画像の保存" writes, by extension (".BMP", ".PNG", ".JPG"), as the join command
  // asks for it; empty: the type chosen in the save dialog (see save_type_extension).
  std::string save_extension;
};

}  // namespace vimbrel

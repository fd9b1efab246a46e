// A small set of forms for testing the runtime on its own, apart from the program's real forms.
#pragma once

#include <string>
#include <vector>

#include "platform/runtime/form_layout.h"

namespace vimbrel::test {

// A control at the given place, everything else as a layout leaves it by default.
inline ControlLayout mini_control(std::string name, ControlKind kind, int x = 0, int y = 0, int w = 0,
                                  int h = 0) {
  ControlLayout c;
  c.name = std::move(name);
  c.kind = kind;
  c.x = x, c.y = y, c.width = w, c.height = h;
  return c;
}

inline std::vector<FormLayout> mini_layout() {
  FormLayout main{"MAINFORM", "MAINFORM", 0, 0, 200, 100, FormStyle::Main, {}};
  main.controls.push_back(mini_control("PICTURE1", ControlKind::Picture, 8, 8, 40, 30));
  main.controls.push_back(mini_control("HSCROLL1", ControlKind::HScroll, 8, 40, 40, 16));
  main.controls.back().scroll_max = 100;
  FormLayout ctl{"FORM3", "コントローラ", 10, 10, 300, 200, FormStyle::FixedCaption, {}};
  ctl.controls.push_back(mini_control("BUTTON53", ControlKind::Button));
  ctl.controls.back().caption = "Ａ画像ロード";
  for (const char* radio : {"RADIO7", "RADIO8"}) {
    ctl.controls.push_back(mini_control(radio, ControlKind::Radio));
    ctl.controls.back().radio_group = 1;
  }
  ctl.controls.back().checked = true;
  ctl.controls.push_back(mini_control("LIST1", ControlKind::List));
  ctl.controls.push_back(mini_control("EDIT1", ControlKind::Edit));
  ctl.controls.back().digits_only = true;
  ctl.controls.push_back(mini_control("VSCROLL2", ControlKind::VScroll));
  ctl.controls.back().scroll_max = 32767;
  return {main, ctl};
}

}  // namespace vimbrel::test

// A small set of forms for testing the runtime on its own, apart from the program's real forms.
#pragma once

#include <vector>

#include "platform/runtime/form_layout.h"

namespace vimbrel::test {

inline std::vector<FormLayout> mini_layout() {
  FormLayout main{"MAINFORM", "MAINFORM", 0, 0, 200, 100, FormStyle::Main, {}};
  main.controls.push_back(
      {.name = "PICTURE1", .kind = ControlKind::Picture, .x = 8, .y = 8, .width = 40, .height = 30});
  main.controls.push_back({.name = "HSCROLL1",
                           .kind = ControlKind::HScroll,
                           .x = 8,
                           .y = 40,
                           .width = 40,
                           .height = 16,
                           .scroll_max = 100});
  FormLayout ctl{"FORM3", "コントローラ", 10, 10, 300, 200, FormStyle::FixedCaption, {}};
  ctl.controls.push_back({.name = "BUTTON53", .kind = ControlKind::Button, .caption = "Ａ画像ロード"});
  ctl.controls.push_back({.name = "RADIO7", .kind = ControlKind::Radio, .radio_group = 1});
  ctl.controls.push_back({.name = "RADIO8", .kind = ControlKind::Radio, .checked = true, .radio_group = 1});
  ctl.controls.push_back({.name = "LIST1", .kind = ControlKind::List});
  ctl.controls.push_back({.name = "EDIT1", .kind = ControlKind::Edit, .digits_only = true});
  ctl.controls.push_back({.name = "VSCROLL2", .kind = ControlKind::VScroll, .scroll_max = 32767});
  return {main, ctl};
}

}  // namespace vimbrel::test

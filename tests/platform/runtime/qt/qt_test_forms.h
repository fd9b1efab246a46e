// Forms for the Qt backend's tests: one form of each style and a control of each kind, with radio
// groups, a group box over radio buttons, and the faces and sizes a real form uses.
#pragma once

#include <string>
#include <vector>

#include "platform/runtime/form_layout.h"

namespace vimbrel::test {

inline ControlLayout qt_test_control(std::string name, ControlKind kind, std::string caption, int x, int y,
                                     int w, int h, float size = 14, std::string face = "ＭＳ Ｐゴシック") {
  ControlLayout c;
  c.name = std::move(name);
  c.kind = kind;
  c.caption = std::move(caption);
  c.x = x, c.y = y, c.width = w, c.height = h;
  c.font_face = std::move(face);
  c.font_size = size;
  return c;
}

inline ControlLayout qt_test_radio(std::string name, std::string caption, int x, int y, int w, int group,
                                   bool checked, float size = 14) {
  ControlLayout c =
      qt_test_control(std::move(name), ControlKind::Radio, std::move(caption), x, y, w, 16, size);
  c.radio_group = group;
  c.checked = checked;
  return c;
}

inline ControlLayout qt_test_bar(std::string name, ControlKind kind, int x, int y, int w, int h) {
  ControlLayout c = qt_test_control(std::move(name), kind, "", x, y, w, h, 0, "");
  c.scroll_max = 32767;
  return c;
}

inline std::vector<FormLayout> qt_test_forms() {
  FormLayout main{"MAINFORM", "MAINFORM", 270, 229, 648, 327, FormStyle::Main, {}};
  main.controls.push_back(qt_test_control("PICTURE1", ControlKind::Picture, "", 8, 8, 96, 88, 13));

  FormLayout settings{"FORM2", "新規作成の為の設定", 132, 174, 324, 337, FormStyle::FixedCaption, {}};
  settings.controls.push_back(
      qt_test_control("TEXT1", ControlKind::Label, "横方向の余白増量分", 40, 32, 128, 16));
  ControlLayout edit = qt_test_control("EDIT1", ControlKind::Edit, "", 176, 24, 32, 24);
  edit.digits_only = true;
  edit.max_length = 5;
  settings.controls.push_back(edit);
  settings.controls.push_back(qt_test_radio("RADIO1", "Ａ画像の右側", 192, 160, 104, 1, true));

  FormLayout ctl{"FORM3", "コントローラ", 464, 144, 306, 600, FormStyle::FixedCaption, {}};
  ctl.placement = FormPlacement::Companion;
  auto& c = ctl.controls;
  for (const auto& [name, caption, x, y] :
       {std::tuple{"BUTTON60", "結合画像の保存", 16, 32}, std::tuple{"BUTTON53", "Ａ画像ロード", 104, 8},
        std::tuple{"BUTTON54", "Ｂ画像ロード", 184, 8}}) {
    ControlLayout b = qt_test_control(name, ControlKind::Button, caption, x, y, 80, 24, 11, "ＭＳ Ｐ明朝");
    b.bordered = true;
    c.push_back(b);
  }
  ControlLayout group = qt_test_control("GROUP3", ControlKind::Group, "上下関係", 112, 64, 152, 40, 10);
  group.text_colour = {0, 128, 0};
  c.push_back(group);
  c.push_back(qt_test_radio("RADIO7", "Ａ画像が上", 120, 80, 64, 2, false, 10));
  c.push_back(qt_test_radio("RADIO8", "Ｂ画像が上", 192, 80, 64, 2, true, 10));
  c.push_back(qt_test_control("LIST1", ControlKind::List, "", 104, 136, 160, 44));
  ControlLayout check = qt_test_control("CHECK1", ControlKind::Check, "保存時反映", 16, 152, 80, 16, 12);
  check.text_colour = {255, 0, 255};
  c.push_back(check);
  c.push_back(qt_test_bar("VSCROLL2", ControlKind::VScroll, 272, 184, 16, 120));
  c.push_back(qt_test_bar("HSCROLL2", ControlKind::HScroll, 16, 440, 128, 16));
  c.push_back(qt_test_radio("RADIO5", "Ａ画像", 64, 512, 72, 3, false));
  c.push_back(qt_test_radio("RADIO6", "Ｂ画像", 160, 512, 72, 3, true));

  FormLayout cutout{"FORM4", "FORM4", 154, 203, 300, 300, FormStyle::Popup, {}};
  return {main, settings, ctl, cutout};
}

}  // namespace vimbrel::test

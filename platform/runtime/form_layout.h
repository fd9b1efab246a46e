// Form layouts as data: every form with its controls, written once and built by either backend.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vimbrel {

// Form and control names match without regard to the case of their ASCII letters.
inline bool same_name(std::string_view a, std::string_view b) {
  const auto up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
  return std::ranges::equal(a, b, [&up](char x, char y) { return up(x) == up(y); });
}

// A MenuItem is a command of the form's menu bar, in the menu `menu` names, with a key (`shortcut`, in
// the portable form "Ctrl+Shift+A"); it has no place in the client area and raises ON as a button does.
enum class ControlKind {
  Label,
  Edit,
  Button,
  Radio,
  Check,
  List,
  Group,
  HScroll,
  VScroll,
  Picture,
  MenuItem
};

// How a form's window looks: the main window, a caption bar without close box, a frameless pop-up,
// or a dialog whose close box and Escape key raise CANCEL (the procedure decides what closing means).
enum class FormStyle { Main, FixedCaption, Popup, Dialog };

// Where a backend with a real screen puts a form when it is first shown: at its laid-out position,
// or as a companion of the main window, kept clear of its view where the screen allows
// (see place_companion).
enum class FormPlacement { AsLaid, Companion };

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct ControlLayout {
  std::string name;  // upper case, e.g. "BUTTON53"
  ControlKind kind = ControlKind::Label;
  std::string caption;
  int x = 0, y = 0, width = 0, height = 0;  // relative to the form's client area
  bool visible = true;
  bool checked = false;
  int radio_group = 0;          // radio buttons with the same non-zero number exclude each other
  bool digits_only = false;     // edit fields
  int max_length = 0;           // edit fields: the most characters they take (0: no limit)
  bool default_button = false;  // a button that Return presses from anywhere on its form
  bool bordered = false;        // push buttons drawn with a border
  std::string font_face;        // as the resource names it; empty for scroll bars
  float font_size = 0;          // the size in force after start-up
  Rgb text_colour{};
  int scroll_min = 0, scroll_max = 0, small_step = 1, large_step = 16;
  std::string menu, shortcut;  // menu items: the menu's title and the key (several: "Ctrl++; Ctrl+=")
  bool checkable = false;      // menu items that show a check mark where they are in force
};

struct FormLayout {
  std::string name;  // "MAINFORM", "FORM2", ...
  std::string caption;
  int x = 0, y = 0, width = 0, height = 0;  // client size
  FormStyle style = FormStyle::Main;
  std::vector<ControlLayout> controls;
  FormPlacement placement = FormPlacement::AsLaid;
};

}  // namespace vimbrel

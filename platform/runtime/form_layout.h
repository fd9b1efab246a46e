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

// A MenuItem is a command of its form's menu bar (FormLayout::menus): it has no geometry, raises
// <NAME>_ON like a button when chosen (by the mouse or by one of its `keys`), and is enabled,
// checked and named like any control.
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

// How a form's window looks: the main window, a caption bar without close box, or a frameless pop-up.
enum class FormStyle { Main, FixedCaption, Popup };

// Where a backend with a real screen puts a form when it is first shown: at its laid-out position,
// or at the right edge of the screen's work area (a companion window kept clear of the main view).
enum class FormPlacement { AsLaid, RightEdge };

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
  int radio_group = 0;       // radio buttons with the same non-zero number exclude each other
  bool digits_only = false;  // edit fields
  bool bordered = false;     // push buttons drawn with a border
  std::string font_face;     // as the resource names it; empty for scroll bars
  float font_size = 0;       // the size in force after start-up
  Rgb text_colour{};
  int scroll_min = 0, scroll_max = 0, small_step = 1, large_step = 16;
  // Menu items: the keys that choose it ("Ctrl+0", "F": Qt's portable spelling, matched with the
  // focus in the item's form), whether it shows a check mark, and a separating line above it.
  std::vector<std::string> keys{};
  bool checkable = false;
  bool separator_before = false;
};

// A menu of a form's menu bar with its commands, each a control of kind MenuItem. A menu with no
// items is not shown.
struct MenuLayout {
  std::string name;  // "VIEWMENU", ...
  std::string caption;
  std::vector<ControlLayout> items{};
};

struct FormLayout {
  std::string name;  // "MAINFORM", "FORM2", ...
  std::string caption;
  int x = 0, y = 0, width = 0, height = 0;  // client size
  FormStyle style = FormStyle::Main;
  std::vector<ControlLayout> controls;
  FormPlacement placement = FormPlacement::AsLaid;
  // The menu bar, menus in its order. A backend with a real screen puts the bar on top of the window
  // and the client area (where the controls lie) below it.
  std::vector<MenuLayout> menus{};
};

}  // namespace vimbrel

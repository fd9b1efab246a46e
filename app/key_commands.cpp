#include "app/key_commands.h"

#include <string>

#include "join/step_buttons.h"
#include "platform/runtime/ui_text.h"

namespace vimbrel {
namespace {

struct KeyCommand {
  const char* name;
  const char* menu;  // empty: a key alone
  const char* caption;
  const char* key;
  int step = 0, dx = 0, dy = 0;  // an arrow key: the nudge button it presses
};

// An arrow key moves as the 1-pixel nudge button of its direction, with Shift as the 10-pixel one.
constexpr KeyCommand kCommands[] = {
    {"MENUNEW", UI_TEXT("ファイル(&F)"), UI_TEXT("新規作成(&N)"), "Ctrl+N"},
    {"MENUOPEN", UI_TEXT("ファイル(&F)"), UI_TEXT("画像ロード(&O)..."), "Ctrl+O"},
    {"MENUSAVE", UI_TEXT("ファイル(&F)"), UI_TEXT("結合画像の保存(&S)..."), "Ctrl+S"},
    {"MENUUNDO", UI_TEXT("編集(&E)"), UI_TEXT("元に戻す(&U)"), "Ctrl+Z"},
    {"MENUCOPY", UI_TEXT("編集(&E)"), UI_TEXT("コピー(&C)"), "Ctrl+C"},
    {"MENUPASTE", UI_TEXT("編集(&E)"), UI_TEXT("貼り付け(&P)"), "Ctrl+V"},
    {"KEYRIGHT", "", "右1", "Right", 1, 1, 0},
    {"KEYLEFT", "", "左1", "Left", 1, -1, 0},
    {"KEYDOWN", "", "下1", "Down", 1, 0, 1},
    {"KEYUP", "", "上1", "Up", 1, 0, -1},
    {"KEYRIGHT10", "", "右10", "Shift+Right", 10, 1, 0},
    {"KEYLEFT10", "", "左10", "Shift+Left", 10, -1, 0},
    {"KEYDOWN10", "", "下10", "Shift+Down", 10, 0, 1},
    {"KEYUP10", "", "上10", "Shift+Up", 10, 0, -1},
};

Window step_button(Session& s, int step, int dx, int dy) {
  for (const StepButton& b : kStepButtons) {
    if (b.step == step && b.dx == dx && b.dy == dy) return s.c.BUTTON[static_cast<std::size_t>(b.number)];
  }
  return {};
}

void press(Session& s, int number) {
  s.rt.press_after(s.c.BUTTON[static_cast<std::size_t>(number)]);
}

void MENUNEW_ON(Session& s, Window) {
  press(s, 52);
}
void MENUSAVE_ON(Session& s, Window) {
  press(s, 60);
}
void MENUUNDO_ON(Session& s, Window) {
  press(s, 3);
}
// Whichever picture loads next: A until it is in, then B.
void MENUOPEN_ON(Session& s, Window) {
  press(s, s.doc.a.width <= 0 ? 53 : 54);
}

}  // namespace

std::vector<ControlLayout> key_command_items() {
  std::vector<ControlLayout> items;
  for (const KeyCommand& k : kCommands) {
    ControlLayout item;
    item.name = k.name;
    item.kind = ControlKind::MenuItem;
    item.caption = k.caption;
    item.menu = k.menu;
    item.shortcut = k.key;
    items.push_back(item);
  }
  return items;
}

void add_key_command_events(Session& s, EventTable& table) {
  VIMBREL_EVENT(table, s, MENUNEW_ON);
  VIMBREL_EVENT(table, s, MENUOPEN_ON);
  VIMBREL_EVENT(table, s, MENUSAVE_ON);
  VIMBREL_EVENT(table, s, MENUUNDO_ON);
  for (const KeyCommand& k : kCommands) {
    if (k.step == 0) continue;
    add_event(table, std::string(k.name) + "_ON",
              [&s, &k](const EventArgs&) { s.rt.press_after(step_button(s, k.step, k.dx, k.dy)); });
  }
}

}  // namespace vimbrel

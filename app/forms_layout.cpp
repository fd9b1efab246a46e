#include "app/forms_layout.h"

#include <string>
#include <tuple>

#include "app/key_commands.h"
#include "join/step_buttons.h"
#include "platform/runtime/ui_text.h"

namespace vimbrel {
namespace {

constexpr const char* kPGothic = "ＭＳ Ｐゴシック";
constexpr const char* kGothic = "ＭＳ ゴシック";
constexpr const char* kPMincho = "ＭＳ Ｐ明朝";

constexpr Rgb kRed{255, 0, 0}, kTeal{0, 128, 128}, kGreen{0, 128, 0}, kBlue{0, 0, 255}, kNavy{0, 0, 128},
    kMagenta{255, 0, 255};

// Radio groups.
constexpr int kSideGroup = 1, kStackGroup = 2, kControlledGroup = 3;

ControlLayout control(std::string name, ControlKind kind, std::string caption, int x, int y, int w, int h,
                      const char* face, float size, Rgb colour = {}) {
  ControlLayout c;
  c.name = std::move(name);
  c.kind = kind;
  c.caption = std::move(caption);
  c.x = x, c.y = y, c.width = w, c.height = h;
  c.font_face = face != nullptr ? face : "";
  c.font_size = size;
  c.text_colour = colour;
  return c;
}

ControlLayout scroll_bar(std::string name, ControlKind kind, int x, int y, int w, int h, bool visible) {
  ControlLayout c = control(std::move(name), kind, "", x, y, w, h, nullptr, 0);
  c.visible = visible;
  c.scroll_min = 0, c.scroll_max = 32767, c.small_step = 1, c.large_step = 16;
  return c;
}

ControlLayout radio(std::string name, std::string caption, int x, int y, int w, int h, float size, int group,
                    bool checked) {
  ControlLayout c =
      control(std::move(name), ControlKind::Radio, std::move(caption), x, y, w, h, kPGothic, size);
  c.radio_group = group;
  c.checked = checked;
  return c;
}

ControlLayout command(std::string name, std::string caption, int x, int y, int w, int h, float size) {
  ControlLayout c =
      control(std::move(name), ControlKind::Button, std::move(caption), x, y, w, h, kPMincho, size);
  c.bordered = true;
  return c;
}

FormLayout main_form() {
  FormLayout f{"MAINFORM", "MAINFORM", 270, 229, 648, 327, FormStyle::Main, {}};
  f.controls.push_back(control("PICTURE1", ControlKind::Picture, "", 8, 8, 96, 88, kPGothic, 13));
  f.controls.push_back(scroll_bar("HSCROLL1", ControlKind::HScroll, 8, 104, 96, 16, false));
  f.controls.push_back(scroll_bar("VSCROLL1", ControlKind::VScroll, 112, 8, 16, 88, false));
  ControlLayout corner = control("BUTTON1", ControlKind::Button, "┛", 112, 104, 16, 16, kPGothic, 10);
  corner.visible = false;
  f.controls.push_back(corner);
  // The menu bar: ファイル and 元に戻す stand for the controller's buttons, as the arrow keys do; 編集
  // (Edit) also places the controlled picture against the other.
  for (ControlLayout& item : key_command_items()) f.controls.push_back(std::move(item));
  // The menu bar: 表示 (View) sets the view scale; 実寸 is in force at start.
  for (const auto& [name, caption, key, check] :
       {std::tuple{"VIEW_ACTUAL", UI_TEXT("実寸(&A)"), "Ctrl+0", true},
        std::tuple{"VIEW_ZOOMIN", UI_TEXT("拡大(&I)"), "Ctrl++; Ctrl+=", false},
        std::tuple{"VIEW_ZOOMOUT", UI_TEXT("縮小(&O)"), "Ctrl+-", false},
        std::tuple{"VIEW_FIT", UI_TEXT("全体表示(&F)"), "F", true}}) {
    ControlLayout item = control(name, ControlKind::MenuItem, caption, 0, 0, 0, 0, nullptr, 0);
    item.menu = UI_TEXT("表示(&V)");
    item.shortcut = key;
    item.checkable = check;
    item.checked = std::string_view(name) == "VIEW_ACTUAL";
    f.controls.push_back(item);
  }
  // 編集 (Edit) also places the controlled picture against the other.
  for (const auto& [name, caption, key] :
       {std::tuple{"MENUALIGN", UI_TEXT("自動位置合わせ(&A)"), "Ctrl+Shift+A"},
        std::tuple{"MENUSTART", UI_TEXT("先頭に揃える(&S)"), "Ctrl+Shift+Home"},
        std::tuple{"MENUCENTRE", UI_TEXT("中央に揃える(&C)"), "Ctrl+Shift+C"},
        std::tuple{"MENUEND", UI_TEXT("末尾に揃える(&E)"), "Ctrl+Shift+End"}}) {
    ControlLayout item = control(name, ControlKind::MenuItem, caption, 0, 0, 0, 0, nullptr, 0);
    item.menu = UI_TEXT("編集(&E)");
    item.shortcut = key;
    f.controls.push_back(item);
  }
  return f;
}

FormLayout settings_form() {
  FormLayout f{"FORM2", UI_TEXT("新規作成の為の設定"), 132, 174, 324, 337, FormStyle::Dialog, {}};
  auto& c = f.controls;
  c.push_back(
      control("TEXT1", ControlKind::Label, UI_TEXT("横方向の余白増量分"), 40, 32, 128, 16, kPGothic, 14));
  c.push_back(
      control("TEXT2", ControlKind::Label, UI_TEXT("縦方向の余白増量分"), 40, 64, 128, 16, kPGothic, 14));
  for (const auto& [name, y] : {std::pair{"EDIT1", 24}, std::pair{"EDIT2", 56}}) {
    ControlLayout e = control(name, ControlKind::Edit, "", 176, y, 32, 24, kPGothic, 14);
    e.digits_only = true;
    e.max_length = 5;  // up to 99999, more than any canvas can take
    c.push_back(e);
  }
  c.push_back(control("TEXT3", ControlKind::Label, UI_TEXT("Ａ画像"), 136, 160, 40, 16, kPGothic, 14, kRed));
  c.push_back(radio("RADIO1", UI_TEXT("Ａ画像の右側"), 192, 160, 104, 16, 14, kSideGroup, true));
  c.push_back(radio("RADIO2", UI_TEXT("Ａ画像の下側"), 112, 192, 104, 16, 14, kSideGroup, false));
  c.push_back(radio("RADIO3", UI_TEXT("Ａ画像の左側"), 24, 160, 104, 16, 14, kSideGroup, false));
  c.push_back(radio("RADIO4", UI_TEXT("Ａ画像の上側"), 112, 128, 104, 16, 14, kSideGroup, false));
  c.push_back(control("GROUP1", ControlKind::Group, UI_TEXT("Ｂ画像の接続位置"), 16, 96, 288, 144, kPGothic,
                      11, kTeal));
  c.push_back(
      control("BUTTON2", ControlKind::Button, UI_TEXT("設　定　の　保　存"), 40, 264, 248, 24, kPGothic, 14));
  c.back().default_button = true;  // Return in the form saves the settings
  return f;
}

// Geometry of one fine-step button, from its step's row of the star around UNDO (128, 296).
ControlLayout step_button(const StepButton& b) {
  static constexpr int kRightX[] = {152, 176, 192, 208, 224, 240};
  static constexpr int kLeftX[] = {104, 88, 72, 56, 40, 24};
  static constexpr int kDownY[] = {320, 344, 360, 376, 392, 408};
  static constexpr int kUpY[] = {272, 256, 240, 224, 208, 192};
  int row = 0;
  while (kSteps[static_cast<std::size_t>(row)] != b.step) ++row;
  const bool first = row == 0;
  const int x = b.dx > 0 ? kRightX[row] : b.dx < 0 ? kLeftX[row] : 128;
  const int y = b.dy > 0 ? kDownY[row] : b.dy < 0 ? kUpY[row] : 296;
  int w = 16, h = 16;
  if (first) {
    w = h = 24;
  } else if (b.dy == 0) {
    h = 24;
  } else if (b.dx == 0) {
    w = 24;
  }
  std::string caption = std::to_string(b.step);
  if (first && b.dy == 0) caption = b.dx > 0 ? UI_TEXT("右１") : UI_TEXT("左１");
  if (first && b.dx == 0) caption = b.dy > 0 ? UI_TEXT("下１") : UI_TEXT("上１");
  return control("BUTTON" + std::to_string(b.number), ControlKind::Button, caption, x, y, w, h, kPGothic, 10);
}

FormLayout controller_form() {
  FormLayout f{"FORM3", UI_TEXT("コントローラ"), 464, 144, 306, 600, FormStyle::FixedCaption, {}};
  f.placement = FormPlacement::Companion;  // beside the canvas, not over it
  auto& c = f.controls;
  c.push_back(command("BUTTON52", UI_TEXT("新規作成"), 16, 8, 88, 24, 12));
  c.push_back(command("BUTTON60", UI_TEXT("結合画像の保存"), 16, 32, 88, 24, 11));
  c.push_back(command("BUTTON57", UI_TEXT("ＡＢ位置リセット"), 16, 56, 88, 24, 11));
  c.push_back(command("BUTTON58", UI_TEXT("Ａ画像位置リセット"), 16, 80, 88, 24, 10));
  c.push_back(command("BUTTON59", UI_TEXT("Ｂ画像位置リセット"), 16, 104, 88, 24, 10));
  c.push_back(command("BUTTON53", UI_TEXT("Ａ画像ロード"), 104, 8, 80, 24, 11));
  c.push_back(command("BUTTON55", UI_TEXT("Ａ画像再ロード"), 104, 32, 80, 24, 11));
  c.push_back(command("BUTTON61", UI_TEXT("Ａ画像切り出し"), 104, 104, 80, 24, 11));
  c.push_back(command("BUTTON54", UI_TEXT("Ｂ画像ロード"), 184, 8, 80, 24, 11));
  c.push_back(command("BUTTON56", UI_TEXT("Ｂ画像再ロード"), 184, 32, 80, 24, 11));
  c.push_back(command("BUTTON62", UI_TEXT("Ｂ画像切り出し"), 184, 104, 80, 24, 11));
  c.push_back(
      control("GROUP3", ControlKind::Group, UI_TEXT("上下関係"), 112, 64, 152, 40, kPGothic, 10, kGreen));
  c.push_back(radio("RADIO7", UI_TEXT("Ａ画像が上"), 120, 80, 64, 16, 10, kStackGroup, false));
  c.push_back(radio("RADIO8", UI_TEXT("Ｂ画像が上"), 192, 80, 64, 16, 10, kStackGroup, true));
  c.push_back(
      control("TEXT4", ControlKind::Label, UI_TEXT("重なり効果"), 24, 136, 72, 16, kPGothic, 14, kBlue));
  c.push_back(control("LIST1", ControlKind::List, "", 104, 136, 160, 44, kPGothic, 14, kNavy));
  c.push_back(
      control("CHECK1", ControlKind::Check, UI_TEXT("保存時反映"), 16, 152, 80, 16, kPGothic, 12, kMagenta));
  c.push_back(control("GROUP4", ControlKind::Group, UI_TEXT("移動の微調整"), 16, 176, 248, 256, kPGothic, 10,
                      kGreen));
  c.push_back(control("BUTTON3", ControlKind::Button, "UNDO", 128, 296, 24, 24, kGothic, 10));
  for (const StepButton& b : kStepButtons) c.push_back(step_button(b));
  c.push_back(scroll_bar("VSCROLL2", ControlKind::VScroll, 272, 184, 16, 120, true));
  c.push_back(scroll_bar("VSCROLL3", ControlKind::VScroll, 272, 312, 16, 120, true));
  c.push_back(scroll_bar("HSCROLL2", ControlKind::HScroll, 16, 440, 128, 16, true));
  c.push_back(scroll_bar("HSCROLL3", ControlKind::HScroll, 160, 440, 128, 16, true));
  c.push_back(control("GROUP2", ControlKind::Group, UI_TEXT("コントロールする画像"), 48, 488, 192, 56,
                      kPGothic, 14, kMagenta));
  c.push_back(radio("RADIO5", UI_TEXT("Ａ画像"), 64, 512, 72, 16, 14, kControlledGroup, false));
  c.push_back(radio("RADIO6", UI_TEXT("Ｂ画像"), 160, 512, 72, 16, 14, kControlledGroup, true));
  return f;
}

FormLayout cutout_form() {
  return {"FORM4", "FORM4", 154, 203, 300, 300, FormStyle::Popup, {}};
}

}  // namespace

std::vector<FormLayout> form_layouts() {
  return {main_form(), settings_form(), controller_form(), cutout_form()};
}

}  // namespace vimbrel

// What a file dropped from a file manager does: the load command it stands for, under the same
// enabling as a click on that command.
#pragma once

#include <span>
#include <string>

#include "join/session.h"
#include "platform/runtime/file_drop.h"
#include "platform/runtime/ui_text.h"

namespace vimbrel {

// Where a drop landed. Controller: the controller form itself, where the windows send a drop on one of
// its disabled commands.
enum class DropSpot { LoadA, LoadB, ReloadA, ReloadB, MainWindow, Controller, Elsewhere };

// What the rule looks at: which commands a click could use now, and whether A holds a picture.
struct DropState {
  bool load_a = false, load_b = false, reload_a = false, reload_b = false;
  bool a_loaded = false;
};

// The load button (53 "Ａ画像ロード" or 54 "Ｂ画像ロード") a drop clicks, its dialog answered by the
// dropped file; 0 when the drop is refused. Only one regular file is taken. A reload button loads
// the dropped file as a new one, since a reload reads the stored file and asks for none. On the main
// window the file becomes A while there is none and A can be loaded, otherwise B if B can be.
int drop_button(DropSpot spot, std::span<const DroppedItem> items, const DropState& state);

// Gives the runtime this rule for the program's windows.
// A picture dropped before a join is set up: what to do first.
inline constexpr const char* kSettingsFirst =
    UI_TEXT("画像を読む前に「新規作成」を押し、「設　定　の　保　存」で結合の設定をしてください。");

// What a refused drop tells the user: kSettingsFirst for a file dropped where a picture would load
// before any load command is usable; empty otherwise.
std::string drop_hint(DropSpot spot, std::span<const DroppedItem> items, const DropState& state);

void add_drop_rule(Session& s);

}  // namespace vimbrel

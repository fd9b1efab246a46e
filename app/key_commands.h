// Keys and menu commands that stand for a button of the controller: each presses that button, so
// its procedure, enabling, undo copy and redraw are the button's own.
#pragma once

#include <vector>

#include "join/session.h"
#include "platform/runtime/event_table.h"
#include "platform/runtime/form_layout.h"

namespace vimbrel {

// The main window's menu items and keys for them (ファイル and 編集's 元に戻す, the arrow keys).
std::vector<ControlLayout> key_command_items();

void add_key_command_events(Session& s, EventTable& table);

}  // namespace vimbrel

// The clipboard command of the main window's 編集 menu.
#pragma once

#include "join/session.h"
#include "platform/runtime/event_table.h"

namespace vimbrel {

// コピー: the very pixels a save would write now (the bounding box, the effect when 保存時反映 is
// checked) go on the clipboard.
void MENUCOPY_ON(Session& s, Window owner);

void add_clipboard_events(Session& s, EventTable& table);

}  // namespace vimbrel

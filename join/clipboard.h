// The clipboard commands of the main window's 編集 menu.
#pragma once

#include "join/session.h"
#include "platform/runtime/event_table.h"

#include <string>

namespace vimbrel {

// 貼り付け: the picture on the clipboard loads as A when A loads next, otherwise as B, through the
// load button and its conversion, as a file chosen in its dialog would; image data is first written
// as the file "クリップボード（Ａ）" or "クリップボード（Ｂ）" in the run's work folder, which the title then
// names. Nothing usable on the clipboard: a message, and nothing changes.
void MENUPASTE_ON(Session& s, Window owner);
// コピー: the very pixels a save would write now (the bounding box, the effect when 保存時反映 is
// checked) go on the clipboard.
void MENUCOPY_ON(Session& s, Window owner);

void add_clipboard_events(Session& s, EventTable& table);

// The file pasted image data for `twin` is written as; the title names it in the user's language.
std::string pasted_file(const JoinDocument& d, Twin twin);

}  // namespace vimbrel

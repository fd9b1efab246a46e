// Placing the controlled picture against the other: on their overlap (自動位置合わせ), or at the
// start, the centre or the end of the other along the side they join on. Each is one move as a nudge
// is: the undo copy first, then the move (held on the canvas as a drag is), then the redraw.
#pragma once

#include <cstdint>
#include <optional>

#include "join/alignment.h"
#include "join/session.h"
#include "platform/runtime/ui_text.h"

namespace vimbrel {

enum class Along { Start, Centre, End };

// Where a drawn part `size` long starts so that it lies at the start, centre or end of the other's
// drawn part (starting at `other_start`, `other_size` long): the centre ⌊(other − own) / 2⌋ after
// the other's start.
std::int64_t along_position(std::int64_t other_start, std::int64_t other_size, std::int64_t size,
                            Along along);

// The search for the controlled picture against the other on the canvas as it stands: both drawn
// parts, and the offsets at which the controlled picture stays inside the canvas.
AlignmentRequest alignment_request(Session& s);

// 自動位置合わせ: with both pictures placed, moves the controlled one to where its drawn part best
// matches the other's, or, when nothing matches, says so in a message box and moves nothing.
// Returns what the search found (nullopt when it did not run).
std::optional<Alignment> ALIGN_SUB(Session& s, Window owner);

// The controlled picture at the start, centre or end of the other, across the side they join on
// (for B right of A: top, centre, bottom).
void ALONG_SUB(Session& s, Window owner, Along along);

// The commands of the main window's 編集 menu, by the names of their menu items.
void MENUALIGN_ON(Session& s, Window owner);
void MENUSTART_ON(Session& s, Window owner);
void MENUCENTRE_ON(Session& s, Window owner);
void MENUEND_ON(Session& s, Window owner);
void add_placing_events(Session& s, EventTable& table);

// The message of an alignment that found nothing.
inline constexpr const char* kAlignCaption = UI_TEXT("自動位置合わせ");
inline constexpr const char* kNoMatchText = UI_TEXT("一致する位置が見つかりませんでした");

}  // namespace vimbrel

// The settings form FORM2: its margin increments as typed, its save button, and the image
// selector's layout on FORM3 that mirrors the attachment side.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "join/session.h"

namespace vimbrel {

// The number at the start of a margin text, leading blanks skipped; 0 when the text starts with no
// number. Increments are whole pixels; absurdly long numbers saturate at a billion.
float margin_value(std::string_view text);

// GROUP2 "コントロールする画像" on FORM3, with RADIO5 and RADIO6 placed inside it (FORM3 client units).
struct SelectorLayout {
  std::int16_t x, y, width, height;
  std::int16_t radio5_dx, radio5_dy, radio6_dx, radio6_dy;
};

// By attachment side, in kAllSides order: "Ａ画像" and "Ｂ画像" stand as the images lie.
inline constexpr std::array<SelectorLayout, 4> kSelectorLayouts{{
    {48, 488, 192, 56, 16, 24, 112, 24},
    {72, 472, 144, 80, 40, 24, 40, 56},
    {48, 488, 192, 56, 112, 24, 16, 24},
    {72, 472, 144, 80, 40, 56, 40, 24},
}};

// "設　定　の　保　存": empties the join, takes the margins and the side, lays out the image
// selector, back to FORM3.
void BUTTON2_ON(Session& s, Window owner);

// Records `row` as the selector's placement (the document's copy of the table row).
void keep_selector(SelectorPlacement& placement, const SelectorLayout& row);

}  // namespace vimbrel

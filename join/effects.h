// The overlap effects, in the order of FORM3's effect list (`effect_index`): each one's row in the
// list, the colour of the canvas around the images, and how the upper image combines with the lower.
#pragma once

#include <array>

#include "platform/pixels/raster.h"
#include "platform/runtime/ui_text.h"

namespace vimbrel {

struct Effect {
  const char* label;
  int background;  // colour number: 15 white, 0 black
  int mode;        // draw mode of the upper image
};

inline constexpr std::array<Effect, 6> kEffects{{
    {UI_TEXT("効果無し（余白が白）"), 15, kDrawModeCopy},
    {UI_TEXT("効果無し（余白が黒）"), 0, kDrawModeCopy},
    {UI_TEXT("Ａモード（余白が白）"), 15, 9},
    {UI_TEXT("Ｂモード（余白が白）"), 15, 14},
    {UI_TEXT("Ｃモード（余白が黒）"), 0, 7},
    {UI_TEXT("Ｄモード（余白が黒）"), 0, 15},
}};

// An index outside the list draws on black with a plain copy.
inline constexpr Effect kNoEffect{"", 0, kDrawModeCopy};

constexpr const Effect& effect_of(int effect_index) {
  return effect_index >= 0 && effect_index < static_cast<int>(kEffects.size())
             ? kEffects[static_cast<std::size_t>(effect_index)]
             : kNoEffect;
}

// The background colour number and the upper image's draw mode of an effect.
constexpr int background_colour(int effect_index) {
  return effect_of(effect_index).background;
}
constexpr int effect_mode(int effect_index) {
  return effect_of(effect_index).mode;
}

}  // namespace vimbrel

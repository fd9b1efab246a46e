// The overlap effects as the effect list names them; a row's index is the effect's number.
#pragma once

#include <array>

namespace vimbrel {

inline constexpr std::array<const char*, 6> kEffectNames = {"効果無し（余白が白）", "効果無し（余白が黒）",
                                                            "Ａモード（余白が白）", "Ｂモード（余白が白）",
                                                            "Ｃモード（余白が黒）", "Ｄモード（余白が黒）"};

}  // namespace vimbrel

// The two images of a join and the side B joins A on, by name.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace vimbrel {

// One of the two images. The document stores a twin in a 16-bit field as this number, with
// kNeither for "none".
enum class Twin : std::int16_t { A = 1, B = 2 };
inline constexpr std::int16_t kNeither = 0;

constexpr Twin other(Twin t) {
  return t == Twin::A ? Twin::B : Twin::A;
}

constexpr std::int16_t stored(Twin t) {
  return static_cast<std::int16_t>(t);
}
// The twin a stored field names; nullopt for kNeither (or any other number).
constexpr std::optional<Twin> twin_of(std::int16_t v) {
  if (v == stored(Twin::A)) return Twin::A;
  if (v == stored(Twin::B)) return Twin::B;
  return std::nullopt;
}

// Where B joins A. The numbers are those of the settings form's radio buttons RADIO1 ... RADIO4,
// which are tested in this order, and of the `join` command's --side values.
enum class Side { Right = 1, Below = 2, Left = 3, Above = 4 };
inline constexpr std::array<Side, 4> kAllSides{Side::Right, Side::Below, Side::Left, Side::Above};

// The side's row in a table written in kAllSides order.
constexpr std::size_t row_of(Side side) {
  return static_cast<std::size_t>(side) - 1;
}
constexpr bool side_by_side(Side side) {
  return side == Side::Right || side == Side::Left;
}

}  // namespace vimbrel

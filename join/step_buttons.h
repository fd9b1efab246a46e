// The 48 fine-step buttons BUTTON4 ... BUTTON51: each moves the controlled image by its step in one of
// eight directions. One table serves their layout and their procedures.
#pragma once

#include <array>

namespace vimbrel {

struct StepButton {
  int number;  // BUTTON<number>
  int step;    // 1, 2, 5, 10, 20 or 50 pixels
  int dx, dy;  // direction: -1, 0 or 1 each (y grows downward)
};

// Directions in the order of the buttons' numbering within a step: right, left, down, up for
// BUTTON4 + 4i ... BUTTON7 + 4i; up-right, down-right, down-left, up-left for BUTTON28 + 4i ... BUTTON31 +
// 4i.
inline constexpr std::array<int, 6> kSteps = {1, 2, 5, 10, 20, 50};

constexpr std::array<StepButton, 48> make_step_buttons() {
  constexpr int straight[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  constexpr int diagonal[4][2] = {{1, -1}, {1, 1}, {-1, 1}, {-1, -1}};
  std::array<StepButton, 48> t{};
  for (int i = 0; i < 6; ++i) {
    for (int d = 0; d < 4; ++d) {
      t[static_cast<std::size_t>(i * 4 + d)] = {4 + 4 * i + d, kSteps[static_cast<std::size_t>(i)],
                                                straight[d][0], straight[d][1]};
      t[static_cast<std::size_t>(24 + i * 4 + d)] = {28 + 4 * i + d, kSteps[static_cast<std::size_t>(i)],
                                                     diagonal[d][0], diagonal[d][1]};
    }
  }
  return t;
}

inline constexpr std::array<StepButton, 48> kStepButtons = make_step_buttons();

}  // namespace vimbrel

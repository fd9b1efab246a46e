// What the `join` command can honour: the crops the sliders reach and the moves that keep a
// picture on the canvas. A value beyond them is refused with the range that can be reached, rather
// than silently clamped as the window's controls do.
#pragma once

#include <array>
#include <string>

#include "join/join_document.h"

namespace vimbrel {

// Empty when `crop` (left, top, right, bottom) can be set on `image` with its sliders and leaves a
// pixel; otherwise why not and what can be given.
std::string crop_refusal(const ImageSlot& image, const std::array<int, 4>& crop);

// Empty when `image` can be moved by `move` (dx, dy) and stay on the canvas of `d`; otherwise the
// moves that can be given.
std::string move_refusal(const JoinDocument& d, const ImageSlot& image, const std::array<int, 2>& move);

// Empty when `out` names a file the save can write; otherwise why not (it names a folder).
std::string output_refusal(const std::string& out);

// The path as the command prints it: as it is, or in double quotes with C escapes when it holds a
// control character (a newline would split the printed line).
std::string printable_path(const std::string& path);

}  // namespace vimbrel

// The options of the `join` command, parsed and checked before anything runs.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>

#include "join/twins.h"

namespace vimbrel {

struct JoinOptions {
  std::string a, b, out;
  Side side = Side::Right;
  std::string margin_x = "50", margin_y = "50";
  int effect = 0;
  bool a_on_top = false;
  bool apply_effect = false;
  std::optional<std::array<int, 4>> crop_a, crop_b;  // left, top, right, bottom
  std::optional<std::array<int, 2>> move_a, move_b;  // dx, dy
  std::string align_b;                               // --align: "", start, centre, end or auto
  std::string work_dir;                              // empty: the system's temporary folder
  std::string extension = ".BMP";                    // --format: ".BMP", ".PNG" or ".JPG"
  int quality = 92;                                  // --quality, for JPEG
  int jobs = 0;                                      // --jobs: threads for the loads; 0: as many as cores
  bool help = false;
};

// Parses the words after "join". On a bad argument returns nullopt and sets `error`.
std::optional<JoinOptions> parse_join_options(std::span<const std::string> args, std::string& error);

}  // namespace vimbrel

// Bounds the readers share on what a file's bytes may claim.
#pragma once

#include <cstdint>

namespace vimbrel {

// The readers refuse a picture that claims far more pixels than its bytes could describe; this many
// pixels are allowed on top of that bound, so that tiny pictures always pass.
inline constexpr std::uint64_t kSmallPicturePixels = std::uint64_t{1} << 20;

}  // namespace vimbrel

// What the end of a JPEG file tells about it.
#pragma once

#include <string>

namespace vimbrel {

// A warning for a picture that loads although it is damaged: a JPEG whose data stops before its
// end marker (a cut-off file loads as far as it goes). Empty otherwise.
std::string picture_warning(const std::string& path);

}  // namespace vimbrel

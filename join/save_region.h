// The part of the canvas that a save writes: the bounding box of the drawn parts.
#pragma once

#include <optional>
#include <string>

#include "join/join_document.h"
#include "platform/pixels/raster.h"

namespace vimbrel {

// The smallest rectangle of the canvas plane that holds the drawn part of every image present, at
// the draw positions of the last render. An image dropped by a failed canvas creation (width 0) does
// not count, so the other is saved alone; nullopt when no image is present.
std::optional<PixelRect> save_region(const JoinDocument& d);

// The file a save writes for the name chosen in the dialog: its folder and name with the extension
// `extension` (".BMP" unless the caller asks for another type) in place of whatever followed the
// last dot. `folder` receives drive and directory.
std::string save_file_path(const std::string& chosen, std::string& folder,
                           const std::string& extension = ".BMP");

// The save dialog's types, the bitmap first, and the extension each writes.
inline constexpr const char* kSaveTypes = "BMP (*.BMP);PNG (*.PNG);JPEG (*.JPG)";

// The extension of the type chosen in the save dialog: the dialog gives the chosen name the type's
// extension (".PNG", ".JPG"), so a name ending in one of those exactly was saved as that type; any
// other name is a bitmap (".BMP"), as a typed "x.png" always was.
std::string save_type_extension(const std::string& chosen);

}  // namespace vimbrel

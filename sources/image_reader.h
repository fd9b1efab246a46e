// The image readers LOAD_ABMP and LOAD_BBMP: one body for both slots.
#pragma once

#include <cstdint>
#include <string>

#include "join/session.h"

namespace vimbrel {

// The crop sliders' bound for a side of `size` pixels: size − 1, at most 1000.
std::int16_t crop_bound(float size);

// Whether a file with the extension `ext` is read as a bitmap as it is, without the converter.
bool read_directly(const std::string& ext);

// Reads `load_path` into the A or B slot; reports through `load_failed`. On a failed read the
// slot's previous file is read back (once at most).
void LOAD_ABMP(Session& s, Window owner);
void LOAD_BBMP(Session& s, Window owner);

}  // namespace vimbrel

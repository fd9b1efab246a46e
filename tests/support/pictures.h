// Pictures for tests, painted from a colour function of the pixel's position.
#pragma once

#include "platform/pixels/bitmap.h"

namespace vimbrel::test {

// Sets every pixel (x, y) of `b` to colour(x, y) (0xFFRRGGBB).
template <class Colour>
void paint(Bitmap& b, Colour&& colour) {
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) b.at(x, y) = colour(x, y);
}

// A w × h picture whose pixel (x, y) is colour(x, y).
template <class Colour>
Bitmap picture(int w, int h, Colour&& colour) {
  Bitmap b = Bitmap::create(w, h);
  paint(b, colour);
  return b;
}

}  // namespace vimbrel::test

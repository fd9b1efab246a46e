// The renderer's tests set the join document up directly: images as plain-coloured bitmaps, a canvas
// sized by the rule of the new-canvas command, the side and the stacking order in their radio buttons.
#pragma once

#include <cstdint>
#include <functional>

#include "app/menus.h"
#include "join/renderer.h"
#include "tests/support/pictures.h"
#include "tests/support/program_fixture.h"

namespace vimbrel::test {

inline constexpr std::uint32_t kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;
inline constexpr std::uint32_t kA = 0xFF3C5A96u, kB = 0xFFA5C30Fu;

// The commands are enabled as after a B load, so the effect list and the radio buttons can be used.
class Renderer : public ProgramTest {
 protected:
  Renderer() { MENU_ALLSET(s, s.c.FORM3); }

  void image(ImageSlot& slot, int w, int h, const std::function<std::uint32_t(int, int)>& colour) {
    if (!slot.bitmap) rt.BITMAPOBJECT(slot.bitmap);
    rt.CREATEBITMAP(slot.bitmap, w, h);
    paint(*rt.picture(slot.bitmap), colour);
    slot.width = static_cast<float>(w), slot.height = static_cast<float>(h);
    slot.src_width = slot.width, slot.src_height = slot.height;
    slot.x = -1, slot.y = -1;
  }
  void plain(ImageSlot& slot, int w, int h, std::uint32_t c) {
    image(slot, w, h, [c](int, int) { return c; });
  }

  void canvas_size(int w, int h) {
    rt.CREATEBITMAP(s.doc.canvas_bitmap, w, h);
    s.doc.canvas_width = static_cast<float>(w), s.doc.canvas_height = static_cast<float>(h);
  }

  void side(int n) {
    const Window radios[] = {s.c.RADIO1, s.c.RADIO2, s.c.RADIO3, s.c.RADIO4};
    for (int i = 1; i <= 4; ++i) rt.SETCHECK(radios[i - 1], i == n ? 1 : 0);
  }

  void a_on_top(bool on) {
    rt.SETCHECK(s.c.RADIO7, on ? 1 : 0);
    rt.SETCHECK(s.c.RADIO8, on ? 0 : 1);
  }

  void render() { LOAD_SCG(s, s.c.FORM3); }
  std::uint32_t px(int x, int y) { return canvas().at(x, y); }

  // The worked example: A 100 x 80, B 60 x 120, margins 50.
  void example(int n) {
    plain(s.doc.a, 100, 80, kA);
    plain(s.doc.b, 60, 120, kB);
    side(n);
    const bool across = n == 1 || n == 3;
    canvas_size(across ? 210 : 150, across ? 170 : 250);
  }
};

}  // namespace vimbrel::test

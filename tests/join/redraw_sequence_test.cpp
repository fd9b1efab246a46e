// Joins made through the commands, driven through random sequences of what a user does: the view, the
// canvas and the saved file always show what the plain sequence of runtime operations draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "platform/imageio/bitmap_file.h"
#include "tests/join/renderer_fixture.h"

namespace vimbrel {
namespace {

using test::kB;

// The canvas drawn by the plain sequence of runtime operations from the document as it stands:
// filled box, the lower image copied, the effect's mode, the upper image, on a bitmap of its own.
class Reference {
 public:
  explicit Reference(Session& s) : s_(s) { s.rt.BITMAPOBJECT(obj_); }

  const Bitmap& draw() {
    FormRuntime& rt = s_.rt;
    const JoinDocument& d = s_.doc;
    rt.CREATEBITMAP(obj_, static_cast<std::int64_t>(d.canvas_width),
                    static_cast<std::int64_t>(d.canvas_height));
    rt.FILLBOX(obj_, 0, 0, d.canvas_width, d.canvas_height, background_colour(d.effect_index));
    auto put = [&](const ImageSlot& i) {
      rt.BITBLT(obj_, i.draw_x, i.draw_y, i.src_width, i.src_height, i.bitmap, i.src_left, i.src_top);
    };
    const bool a_top = rt.GETCHECK(s_.c.RADIO7) != 0;
    put(a_top ? d.b : d.a);
    rt.SETDRAWMODE(obj_, effect_mode(d.effect_index));
    put(a_top ? d.a : d.b);
    rt.SETDRAWMODE(obj_, 13);
    return *rt.picture(obj_);
  }

 private:
  Session& s_;
  BitmapObject obj_;
};

// A join made through the commands, on a main window small enough for both scroll bars.
class RendererJoin : public test::ProgramTest {
 protected:
  void join(int side = 1) {
    std::mt19937 rng(11);
    auto noise = [&rng](int, int) { return rng() & 0xFFFFFFu; };
    new_join(side);
    load_a(write_picture("a.bmp", 300, 200, noise));
    load_b(write_picture("b.bmp", 250, 260, noise));
    rt.resize_main_form(400, 300);
  }

  ::testing::AssertionResult view_matches(const Bitmap& want) {
    const Bitmap& view = rt.surface(s.c.PICTURE1);
    const int vx = static_cast<int>(std::lround(s.doc.view.view_x)),
              vy = static_cast<int>(std::lround(s.doc.view.view_y));
    for (int y = 0; y < view.height(); ++y) {
      for (int x = 0; x < view.width(); ++x) {
        const int cx = vx + x, cy = vy + y;
        if (cx >= want.width() || cy >= want.height()) continue;  // beyond the canvas
        if (view.at(x, y) != want.at(cx, cy))
          return ::testing::AssertionFailure()
                 << "view (" << x << ", " << y << ") = canvas (" << cx << ", " << cy << ")";
      }
    }
    return ::testing::AssertionSuccess();
  }

  static ::testing::AssertionResult same(const Bitmap& got, const Bitmap& want, int ox = 0, int oy = 0) {
    for (int y = 0; y < got.height(); ++y)
      for (int x = 0; x < got.width(); ++x)
        if (got.at(x, y) != want.at(x + ox, y + oy))
          return ::testing::AssertionFailure() << "differs at (" << x << ", " << y << ")";
    return ::testing::AssertionSuccess();
  }
};

TEST_F(RendererJoin, LoadingBothImagesShowsThePlacedPair) {
  new_join(1);
  load_a(write_plain("a.bmp", 100, 80, 0x3C5A96));
  load_b(write_plain("b.bmp", 60, 120, 0xA5C30F));
  EXPECT_EQ(s.doc.canvas_width, 210.0f);
  EXPECT_EQ(s.doc.a.x, 25.0f);
  EXPECT_EQ(s.doc.b.x, 125.0f);
  EXPECT_EQ(s.doc.b.y, 25.0f);
  Reference ref(s);
  EXPECT_TRUE(view_matches(ref.draw()));
  EXPECT_EQ(rt.surface(s.c.PICTURE1).at(125, 25), kB);
  EXPECT_TRUE(same(canvas(), ref.draw()));
}

// Random sequences of what a user does (drags, nudges, effects, stacking, crops, scrolling,
// panning, resizing, saving); after each step the view, and now and then the whole canvas, must
// be what the plain sequence of runtime operations draws.
TEST_F(RendererJoin, RandomSequencesShowWhatTheFullRedrawDraws) {
  for (int side = 1; side <= 4; ++side) {
    SCOPED_TRACE("side " + std::to_string(side));
    join(side);
    ASSERT_TRUE(rt.click("CHECK1"));  // the save applies the effect, as the screen does
    Reference ref(s);
    std::mt19937 rng(static_cast<unsigned>(side));
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    float mx = 100, my = 100;
    for (int step = 0; step < 80; ++step) {
      switch (pick(10)) {
        case 0:
        case 1:
          ASSERT_TRUE(rt.mouse("PICTURE1", "MOUSEDOWN", kRightButton, mx, my));
          for (int k = 0; k < 3; ++k) {
            mx += static_cast<float>(pick(41) - 20), my += static_cast<float>(pick(41) - 20);
            ASSERT_TRUE(rt.mouse("PICTURE1", "MOUSEMOVE", kRightButton, mx, my));
          }
          break;
        case 2:
          ASSERT_TRUE(rt.click("BUTTON" + std::to_string(4 + pick(48))));
          break;
        case 3:
          ASSERT_TRUE(rt.select_row("LIST1", pick(6)));
          break;
        case 4:
          ASSERT_TRUE(rt.click(pick(2) == 0 ? "RADIO7" : "RADIO8"));
          break;
        case 5:
          ASSERT_TRUE(rt.click(pick(2) == 0 ? "RADIO5" : "RADIO6"));
          break;
        case 6: {
          const char* bars[] = {"HSCROLL2", "HSCROLL3", "VSCROLL2", "VSCROLL3"};
          const Window bar = rt.find(bars[pick(4)]);
          const auto [lo, hi] = rt.scroll_range(bar);
          ASSERT_TRUE(rt.scroll_to(rt.name_of(bar), std::min(lo, hi) + pick(std::abs(hi - lo) + 1)));
          break;
        }
        case 7:
          if (rt.ISWINDOWVISIBLE(s.c.HSCROLL1)) {
            ASSERT_TRUE(rt.scroll_to("HSCROLL1", pick(s.doc.view.scroll_max_x + 1)));
          }
          if (rt.ISWINDOWVISIBLE(s.c.VSCROLL1)) {
            ASSERT_TRUE(rt.scroll_to("VSCROLL1", pick(s.doc.view.scroll_max_y + 1)));
          }
          break;
        case 8:
          ASSERT_TRUE(rt.mouse("PICTURE1", "MOUSEDOWN", kLeftButton, 50, 50));
          ASSERT_TRUE(rt.mouse("PICTURE1", "MOUSEMOVE", kLeftButton, static_cast<float>(pick(200)),
                               static_cast<float>(pick(200))));
          break;
        case 9:
          rt.resize_main_form(300 + pick(500), 200 + pick(400));
          break;
      }
      ASSERT_TRUE(rt.untrapped().empty());
      ASSERT_TRUE(view_matches(ref.draw())) << "step " << step;
      if (pick(5) == 0) {
        ASSERT_TRUE(same(canvas(), ref.draw())) << "step " << step;
      }
    }
    // The save writes the on-screen composite cut to the drawn parts.
    const JoinDocument& d = s.doc;
    const int left = static_cast<int>(std::min(d.a.draw_x, d.b.draw_x));
    const int top = static_cast<int>(std::min(d.a.draw_y, d.b.draw_y));
    const Bitmap& want = ref.draw();
    rt.push_dialog_answer(dir.file("out.bmp"));
    ASSERT_TRUE(rt.click("BUTTON60"));
    const Bitmap saved = read_bitmap_file(dir.file("out.BMP"));
    EXPECT_TRUE(same(saved, want, left, top));
    EXPECT_TRUE(view_matches(ref.draw()));
  }
}

}  // namespace
}  // namespace vimbrel

// The main view in fit mode on a 100-megapixel join, beside its floor: a memcpy of the bytes the view
// shows. The redraw is the scaled copy of the whole canvas into the view; the drag step is the
// right-button mouse move as the user makes it (move, place, compose what is shown, show).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>

#include "app/main_view.h"
#include "bench/bench_join_fixture.h"
#include "join/renderer.h"
#include "platform/pixels/reduced_copies.h"

namespace vimbrel {
namespace {

constexpr int kW = 5000, kH = 10000;  // two 50-megapixel images side by side: 10050 x 10050

// The join at fit in a 1600 x 1000 window; its pictures carry a pattern, so that averages differ.
class FitJoin : public bench::BenchJoin {
 public:
  FitJoin() : BenchJoin(kW, kH, &pattern) {
    rt.resize_main_form(1600, 1000);
    rt.press_key("MAINFORM", "F");
    LOAD_SCG(s, s.c.FORM3);
  }

 private:
  static std::uint32_t pattern(std::uint32_t colour, int x, int y) {
    return colour ^ static_cast<std::uint32_t>((x * 7 + y * 3) & 0xFF);
  }
};

FitJoin& join() {
  static FitJoin j;  // made once: 300 MB of pictures
  return j;
}

void counters(benchmark::State& state, const FitJoin& j) {
  state.counters["scale_pct"] = j.s.doc.view.scale * 100;
  state.counters["view_MP"] = j.s.doc.view.view_width * j.s.doc.view.view_height / 1e6;
}

void BM_Floor_MemcpyShown(benchmark::State& state) {
  FitJoin& j = join();
  const std::size_t bytes = static_cast<std::size_t>(j.s.doc.view.view_width) * j.s.doc.view.view_height * 4;
  Bitmap src = Bitmap::create(j.s.doc.view.view_width, j.s.doc.view.view_height);
  Bitmap dst = Bitmap::create(j.s.doc.view.view_width, j.s.doc.view.view_height);
  for (auto _ : state) {
    std::memcpy(dst.pixels().data(), src.pixels().data(), bytes);
    benchmark::DoNotOptimize(dst.row(0));
  }
  counters(state, j);
}

// One redraw of the view: the visible part (the whole canvas) scaled into PICTURE1.
void BM_FitRedraw(benchmark::State& state) {
  FitJoin& j = join();
  for (auto _ : state) {
    CG_UP_SUB(j.s, j.s.c.MAINFORM);
    benchmark::DoNotOptimize(j.rt.surface(j.s.c.PICTURE1).row(0));
  }
  counters(state, j);
}

// One mouse-move step of a right-button drag of A, one view pixel back and forth.
void BM_FitDragStep(benchmark::State& state) {
  FitJoin& j = join();
  j.rt.SETCHECK(j.s.c.RADIO5, 1);
  j.rt.SETCHECK(j.s.c.RADIO6, 0);
  j.rt.mouse("PICTURE1", "MOUSEDOWN", kRightButton, 100, 100);
  float x = 100;
  for (auto _ : state) {
    x = x == 100 ? 101 : 100;
    j.rt.mouse("PICTURE1", "MOUSEMOVE", kRightButton, x, 100);
  }
  counters(state, j);
}

// What the first view below half size after a load pays once: the reduced copies of one 50-megapixel
// picture down to the fit's level.
void BM_FitReducedCopiesOfAPicture(benchmark::State& state) {
  FitJoin& j = join();
  const Bitmap& a = *j.rt.read_picture(j.s.doc.a.bitmap);
  const int level = reduction_level(j.s.doc.view.scale);
  for (auto _ : state) {
    ReducedCopies copies;
    benchmark::DoNotOptimize(copies.level(a, level).row(0));
  }
  state.counters["level"] = level;
}

BENCHMARK(BM_Floor_MemcpyShown)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitRedraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitDragStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitReducedCopiesOfAPicture)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vimbrel

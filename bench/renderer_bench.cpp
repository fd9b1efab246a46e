// The renderer on large joins, each beside its floor: a memset of the canvas plus a memcpy of both
// images, the least any full composition must move. The drag step runs the right-button mouse move
// as the user makes it (move, place, compose, show) and reports the time per step.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench/bench_join_fixture.h"
#include "join/renderer.h"

namespace vimbrel {
namespace {

using bench::BenchJoin;

constexpr int kW = 4000, kH = 3000;  // two 12-megapixel images

void BM_Floor_MemsetCanvasMemcpyImages(benchmark::State& state) {
  Bitmap a = Bitmap::create(kW, kH), b = Bitmap::create(kW, kH);
  Bitmap canvas = Bitmap::create(2 * kW + 50, kH + 50);
  for (auto _ : state) {
    std::memset(canvas.pixels().data(), 0xFF, canvas.pixel_count() * 4);
    for (int y = 0; y < kH; ++y) {
      std::memcpy(canvas.row(y + 25) + 25, a.row(y), kW * 4);
      std::memcpy(canvas.row(y + 25) + 25 + kW, b.row(y), kW * 4);
    }
    benchmark::DoNotOptimize(canvas.row(0));
  }
}

// LOAD_SCG and a read of the whole canvas, so that the full composition is counted however it is done.
void BM_LoadScg(benchmark::State& state) {
  BenchJoin j(kW, kH);
  j.s.doc.effect_index = static_cast<std::int16_t>(state.range(0));
  for (auto _ : state) {
    LOAD_SCG(j.s, j.s.c.FORM3);
    benchmark::DoNotOptimize(j.canvas().row(0));
  }
}

// One mouse-move step of a right-button drag of A, one pixel back and forth.
void BM_DragStep(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  BenchJoin j(w, h);
  j.rt.SETCHECK(j.s.c.RADIO5, 1);  // drag A, which the view shows
  j.rt.SETCHECK(j.s.c.RADIO6, 0);
  j.rt.mouse("PICTURE1", "MOUSEDOWN", kRightButton, 100, 100);
  float x = 100;
  for (auto _ : state) {
    x = x == 100 ? 101 : 100;
    if (!j.rt.mouse("PICTURE1", "MOUSEMOVE", kRightButton, x, 100) || j.s.doc.a.x != x - 75) {
      state.SkipWithError("the drag did not move A");
      break;
    }
  }
  state.counters["canvas_MP"] = j.s.doc.canvas_width * j.s.doc.canvas_height / 1e6;
}

// One press of an arrow key (the 1-pixel nudge button of its direction), right and left in turn: what
// holding the key repeats.
void BM_ArrowKeyStep(benchmark::State& state) {
  BenchJoin j(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  bool right = true;
  for (auto _ : state) {
    const float before = j.s.doc.b.x;
    if (!j.rt.press_key("MAINFORM", right ? "Right" : "Left") || j.s.doc.b.x == before) {
      state.SkipWithError("the key did not move B");
      break;
    }
    right = !right;
  }
  state.counters["canvas_MP"] = j.s.doc.canvas_width * j.s.doc.canvas_height / 1e6;
}

// The floor of a step whose cost follows the view: one copy of the view's pixels.
void BM_Floor_MemcpyView(benchmark::State& state) {
  Bitmap src = Bitmap::create(1584, 984), dst = Bitmap::create(1584, 984);
  for (auto _ : state) {
    std::memcpy(dst.pixels().data(), src.pixels().data(), src.pixel_count() * 4);
    benchmark::DoNotOptimize(dst.row(0));
  }
}

BENCHMARK(BM_Floor_MemsetCanvasMemcpyImages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadScg)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_MemcpyView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragStep)->Args({kW, kH})->Args({5000, 10000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArrowKeyStep)->Args({5000, 10000})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vimbrel

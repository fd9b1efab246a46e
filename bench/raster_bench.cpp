// BITBLT of a 4000 × 3000 bitmap onto a larger one, in copy and XOR modes, beside a memcpy floor.
#include <benchmark/benchmark.h>

#include <cstring>

#include "platform/pixels/raster.h"

namespace vimbrel {
namespace {

constexpr int kW = 4000, kH = 3000;

void BM_Floor_Memcpy(benchmark::State& state) {
  Bitmap src = Bitmap::create(kW, kH);
  Bitmap dst = Bitmap::create(kW + 100, kH + 100);
  for (auto _ : state) {
    for (int y = 0; y < kH; ++y) std::memcpy(dst.row(y + 50) + 50, src.row(y), kW * 4);
    benchmark::DoNotOptimize(dst.row(0));
  }
  state.SetBytesProcessed(state.iterations() * kW * kH * 4);
}

void BM_BitBlt(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  Bitmap src = Bitmap::create(kW, kH);
  Bitmap dst = Bitmap::create(kW + 100, kH + 100);
  for (auto _ : state) {
    blit(dst, 50, 50, kW, kH, src, 0, 0, mode);
    benchmark::DoNotOptimize(dst.row(0));
  }
  state.SetBytesProcessed(state.iterations() * kW * kH * 4);
}

BENCHMARK(BM_Floor_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BitBlt)->Arg(13)->Arg(7)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vimbrel

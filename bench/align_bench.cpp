// Aligning two 12-megapixel photographs (4000 × 3000) that overlap by 30 %, beside its floor: one
// decode of one of them as a JPEG by TurboJPEG.
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include "join/alignment.h"

namespace vimbrel {
namespace {

constexpr int kW = 4000, kH = 3000;
constexpr int kOverlap = kW * 3 / 10;
constexpr int kShiftY = 7;  // B stands a little lower than A

// A scene with detail at every scale, as a photograph has: octaves of smooth noise, and grain.
Bitmap scene(int w, int h) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<float> unit(0, 1);
  std::vector<float> lum(static_cast<std::size_t>(w) * h, 0.0f);
  float amplitude = 90;
  for (int cell = 1024; cell >= 4; cell /= 2, amplitude *= 0.6f) {
    const int gw = w / cell + 2, gh = h / cell + 2;
    std::vector<float> grid(static_cast<std::size_t>(gw) * gh);
    for (float& g : grid) g = unit(rng);
    for (int y = 0; y < h; ++y) {
      const float fy = static_cast<float>(y) / cell;
      const int gy = static_cast<int>(fy);
      const float ty = fy - gy;
      for (int x = 0; x < w; ++x) {
        const float fx = static_cast<float>(x) / cell;
        const int gx = static_cast<int>(fx);
        const float tx = fx - gx;
        const float* r0 = &grid[static_cast<std::size_t>(gy) * gw + gx];
        const float* r1 = r0 + gw;
        const float v = (r0[0] * (1 - tx) + r0[1] * tx) * (1 - ty) + (r1[0] * (1 - tx) + r1[1] * tx) * ty;
        lum[static_cast<std::size_t>(y) * w + x] += amplitude * (v - 0.5f);
      }
    }
  }
  Bitmap b = Bitmap::create(w, h);
  std::normal_distribution<float> grain(0, 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const float l = 128 + lum[static_cast<std::size_t>(y) * w + x];
      auto c = [&](float k) {
        return static_cast<std::uint32_t>(std::clamp(l * k + grain(rng), 0.0f, 255.0f));
      };
      b.at(x, y) = 0xFF000000u | (c(1.1f) << 16) | (c(1.0f) << 8) | c(0.8f);
    }
  }
  return b;
}

Bitmap cut(const Bitmap& from, int x, int y, int w, int h) {
  Bitmap b = Bitmap::create(w, h);
  for (int r = 0; r < h; ++r) std::copy_n(from.row(y + r) + x, w, b.row(r));
  return b;
}

struct Pair {
  Bitmap a, b;
  std::vector<unsigned char> jpeg;  // A as a JPEG at quality 90
};

const Pair& pair() {
  static const Pair p = [] {
    const Bitmap s = scene(2 * kW - kOverlap, kH + kShiftY);
    Pair out{cut(s, 0, 0, kW, kH), cut(s, kW - kOverlap, kShiftY, kW, kH), {}};
    tjhandle enc = tjInitCompress();
    unsigned char* data = nullptr;
    unsigned long size = 0;
    if (tjCompress2(enc, reinterpret_cast<const unsigned char*>(out.a.pixels().data()), kW, 0, kH, TJPF_BGRX,
                    &data, &size, TJSAMP_420, 90, 0) != 0)
      std::abort();
    out.jpeg.assign(data, data + size);
    tjFree(data);
    tjDestroy(enc);
    return out;
  }();
  return p;
}

void BM_Floor_DecodeOneJpeg(benchmark::State& state) {
  const Pair& p = pair();
  Bitmap out = Bitmap::create(kW, kH);
  tjhandle dec = tjInitDecompress();
  for (auto _ : state) {
    if (tjDecompress2(dec, p.jpeg.data(), p.jpeg.size(),
                      reinterpret_cast<unsigned char*>(out.pixels().data()), kW, 0, kH, TJPF_BGRX, 0) != 0)
      state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(out.pixels().data());
  }
  tjDestroy(dec);
}

void BM_AlignTwelveMegapixelPair(benchmark::State& state) {
  const Pair& p = pair();
  AlignmentRequest q;
  q.fixed = &p.a, q.fixed_part = {0, 0, kW, kH};
  q.moving = &p.b, q.moving_part = {0, 0, kW, kH};
  q.range = {-kW, kW, -kH, kH};
  for (auto _ : state) {
    const Alignment found = find_alignment(q);
    if (!found.found || found.offset.u != kW - kOverlap || found.offset.v != kShiftY)
      state.SkipWithError("the pair was not aligned at its offset");
    state.counters["score"] = found.score;
  }
}

BENCHMARK(BM_Floor_DecodeOneJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AlignTwelveMegapixelPair)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vimbrel

// Loading a 4000 × 3000 JPEG through the converter and the bitmap reader, beside TurboJPEG's decode
// of the same file alone; a hostile many-scan file refused; saving an 8000 × 3000 picture, beside one write()
// of the same bytes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/imageio/bitmap_file.h"
#include "platform/imageio/jpeg2bmp.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;

constexpr int kJpegW = 4000, kJpegH = 3000;
constexpr int kSaveW = 8000, kSaveH = 3000;

// A folder of its own, removed when the benchmark ends.
class BenchDir {
 public:
  BenchDir() {
    std::string tmpl = (fs::temp_directory_path() / "vimbrel-bench-XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr) std::abort();
    path_ = tmpl;
  }
  ~BenchDir() { fs::remove_all(path_); }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

// Gradients with noise on top, quality 90, 4:2:0: a photograph's share of detail.
std::string make_test_jpeg(const BenchDir& dir) {
  std::vector<unsigned char> rgb(std::size_t(kJpegW) * kJpegH * 3);
  std::mt19937 random(7);
  for (int y = 0; y < kJpegH; ++y) {
    for (int x = 0; x < kJpegW; ++x) {
      const int base[3] = {x * 255 / kJpegW, y * 255 / kJpegH, (x + y) * 255 / (kJpegW + kJpegH)};
      const std::uint32_t r = random();
      for (int c = 0; c < 3; ++c) {
        const int v = base[c] + int((r >> (8 * c)) & 31) - 16;
        rgb[(std::size_t(y) * kJpegW + x) * 3 + c] = static_cast<unsigned char>(std::clamp(v, 0, 255));
      }
    }
  }
  tjhandle t = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  if (tjCompress2(t, rgb.data(), kJpegW, 0, kJpegH, TJPF_RGB, &jpeg, &size, TJSAMP_420, 90, 0) != 0)
    std::abort();
  const std::string path = dir.file("photo.jpg");
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(jpeg), std::streamsize(size));
  tjFree(jpeg);
  tjDestroy(t);
  return path;
}

std::vector<unsigned char> file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Floor: the file read and decoded by TurboJPEG straight into a fresh picture of the Bitmap's layout.
void BM_Floor_TurboJpegDecode(benchmark::State& state) {
  const BenchDir dir;
  const std::string jpeg_path = make_test_jpeg(dir);
  tjhandle t = tjInitDecompress();
  for (auto _ : state) {
    const std::vector<unsigned char> jpeg = file_bytes(jpeg_path);
    int w = 0, h = 0, sub = 0, cs = 0;
    tjDecompressHeader3(t, jpeg.data(), jpeg.size(), &w, &h, &sub, &cs);
    Bitmap b = Bitmap::create_uninitialised(w, h);
    tjDecompress2(t, jpeg.data(), jpeg.size(), reinterpret_cast<unsigned char*>(b.row(0)), w, w * 4, h,
                  TJPF_BGRX, 0);
    benchmark::DoNotOptimize(b.row(0));
  }
  tjDestroy(t);
  state.counters["MPixel/s"] =
      benchmark::Counter(double(kJpegW) * kJpegH * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}

// A load as the loader does it: converter, bitmap reader, and the work file deleted again.
void BM_LoadJpegThroughWorkFile(benchmark::State& state) {
  const BenchDir dir;
  const std::string jpeg_path = make_test_jpeg(dir);
  const std::string work = dir.file("DAMMY.BMP");
  for (auto _ : state) {
    JPEG2BMP(jpeg_path, work);
    Bitmap b = read_bitmap_file(work);
    ::unlink(work.c_str());
    benchmark::DoNotOptimize(b.row(0));
  }
  state.counters["MPixel/s"] =
      benchmark::Counter(double(kJpegW) * kJpegH * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}

// An 8192 × 8192 grey progressive picture of a few hundred KB, with its last scan repeated up to
// the scan limit when `hostile`: every scan covers the whole picture.
std::string make_many_scan_jpeg(const BenchDir& dir, bool hostile) {
  constexpr int kSide = 8192;
  std::vector<unsigned char> grey(std::size_t(kSide) * kSide);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x)
      grey[std::size_t(y) * kSide + x] = static_cast<unsigned char>((x ^ y) >> 5);
  }
  tjhandle t = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  if (tjCompress2(t, grey.data(), kSide, 0, kSide, TJPF_GRAY, &out, &size, TJSAMP_GRAY, 75,
                  TJFLAG_PROGRESSIVE))
    std::abort();
  std::vector<unsigned char> jpeg(out, out + size);
  tjFree(out);
  tjDestroy(t);
  if (hostile) {
    std::size_t scan = 0;
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
      if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) scan = i;
    }
    const std::vector<unsigned char> last(jpeg.begin() + std::ptrdiff_t(scan), jpeg.end() - 2);
    jpeg.resize(jpeg.size() - 2);
    for (int i = 0; i < 495; ++i) jpeg.insert(jpeg.end(), last.begin(), last.end());
    jpeg.insert(jpeg.end(), {0xFF, 0xD9});
  }
  const std::string path = dir.file(hostile ? "hostile.jpg" : "plain.jpg");
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
  return path;
}

// A file whose scans would cover the picture 500 times is refused; beside it, the load of the same
// picture as its encoder made it.
void BM_ManyScanJpeg(benchmark::State& state) {
  const BenchDir dir;
  const std::string jpeg_path = make_many_scan_jpeg(dir, state.range(0) != 0);
  const std::string work = dir.file("DAMMY.BMP");
  for (auto _ : state) {
    JPEG2BMP(jpeg_path, work);
    ::unlink(work.c_str());
  }
  state.counters["KB"] = double(fs::file_size(jpeg_path)) / 1024;
}

Bitmap save_picture() {
  Bitmap b = Bitmap::create(kSaveW, kSaveH);
  for (int y = 0; y < kSaveH; ++y) {
    for (int x = 0; x < kSaveW; ++x)
      b.at(x, y) = 0xFF000000u | (std::uint32_t((x * 7) ^ (y * 13)) & 0xFFFFFF);
  }
  return b;
}

// Floor: the finished file's bytes, already in memory, written with one write().
void BM_Floor_OneWrite(benchmark::State& state) {
  const BenchDir dir;
  const std::string path = dir.file("joined.BMP");
  write_bitmap_file(save_picture(), path);
  const std::vector<unsigned char> bytes = file_bytes(path);
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) std::abort();
    ::close(fd);
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(bytes.size()));
}

void BM_SaveJoinedPicture(benchmark::State& state) {
  const BenchDir dir;
  const std::string path = dir.file("joined.BMP");
  const Bitmap picture = save_picture();
  for (auto _ : state) write_bitmap_file(picture, path);
  state.SetBytesProcessed(state.iterations() * std::int64_t(fs::file_size(path)));
}

BENCHMARK(BM_Floor_TurboJpegDecode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadJpegThroughWorkFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ManyScanJpeg)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Floor_OneWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveJoinedPicture)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vimbrel

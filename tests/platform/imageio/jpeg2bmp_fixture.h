// The converter's tests: a work folder, the conversion as the loader runs it, and reference decoders
// independent of the converter.
#pragma once

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <QImage>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/imageio/bitmap_file.h"
#include "platform/imageio/jpeg2bmp.h"
#include "platform/pixels/runtime_error.h"
#include "tests/support/temp_dir.h"

namespace vimbrel::test {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

inline fs::path corpus(const std::string& rel) {
  return test::corpus_dir() / "jpeg" / rel;
}

inline Bytes file_bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void write_bytes(const fs::path& p, const Bytes& b) {
  std::ofstream(p, std::ios::binary)
      .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

// ---- reference decoders, independent of the converter ----

// libjpeg-turbo's default decode through its TurboJPEG API, as pixels 0xFFRRGGBB.
inline std::vector<std::uint32_t> turbo_decode(const Bytes& jpeg, int& w, int& h) {
  tjhandle t = tjInitDecompress();
  int sub = 0, cs = 0;
  std::vector<std::uint32_t> px;
  if (tjDecompressHeader3(t, jpeg.data(), jpeg.size(), &w, &h, &sub, &cs) == 0) {
    px.resize(std::size_t(w) * h);
    // A warning (a cut-off file, say) still gives the decoded picture, as djpeg does.
    if (tjDecompress2(t, jpeg.data(), jpeg.size(), reinterpret_cast<unsigned char*>(px.data()), w, w * 4, h,
                      TJPF_BGRX, 0) != 0 &&
        tjGetErrorCode(t) != TJERR_WARNING) {
      px.clear();
    }
  }
  tjDestroy(t);
  for (auto& p : px) p |= 0xFF000000u;
  return px;
}

inline std::vector<std::uint32_t> pixels_of(const Bitmap& b) {
  return {b.pixels().begin(), b.pixels().end()};
}

inline std::vector<std::uint32_t> qt_pixels(const fs::path& p) {
  const QImage img = QImage(QString::fromStdString(p.string())).convertToFormat(QImage::Format_RGB32);
  std::vector<std::uint32_t> px;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) px.push_back(img.pixel(x, y) | 0xFF000000u);
  }
  return px;
}

inline int channel(std::uint32_t p, int shift) {
  return int(p >> shift) & 0xFF;
}

inline bool near(std::uint32_t p, std::uint32_t want, int tolerance) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(channel(p, shift) - channel(want, shift)) > tolerance) return false;
  }
  return true;
}

// ---- the fixture: a work folder and the conversion as the loader runs it ----

inline bool starts_as_jpeg(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  unsigned char m[2] = {};
  in.read(reinterpret_cast<char*>(m), 2);
  return in && m[0] == 0xFF && m[1] == 0xD8;
}

class Jpeg2BmpTest : public ::testing::Test {
 protected:
  std::string work() const { return dir.file("DAMMY.BMP"); }

  // Converts and reads back the work file; nothing when the conversion left no work file (a
  // clean failure), which is checked to be so. A JPEG's pixels kept by the converter must be the
  // file's.
  std::optional<Bitmap> convert(const fs::path& source) {
    ConvertedPicture kept;
    try {
      kept = JPEG2BMP(source.string(), work());
    } catch (const RuntimeError& e) {
      EXPECT_TRUE(e.code == errc::kOutOfMemory || e.code == errc::kPathAccess) << e.code;
      EXPECT_FALSE(fs::exists(work()));
      return std::nullopt;
    }
    if (!fs::exists(work())) return std::nullopt;
    Bitmap b = read_bitmap_file(work());
    fs::remove(work());
    EXPECT_EQ(kept.written.has_value(), starts_as_jpeg(source));
    if (kept.written) {
      EXPECT_TRUE(std::ranges::equal(kept.pixels.pixels(), b.pixels()));
    }
    return b;
  }

  test::TempDir dir;
};

// ---- JPEG files made here with TurboJPEG's compressor ----

// Compresses w × h pixels given as 0xRRGGBB by `colour(x, y)`.
template <typename F>
Bytes make_jpeg(int w, int h, F colour, int subsampling, int quality = 95, int flags = 0) {
  std::vector<unsigned char> rgb(std::size_t(w) * h * 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::uint32_t c = colour(x, y);
      unsigned char* p = &rgb[(std::size_t(y) * w + x) * 3];
      p[0] = c >> 16;
      p[1] = c >> 8;
      p[2] = c;
    }
  }
  tjhandle t = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  EXPECT_EQ(tjCompress2(t, rgb.data(), w, 0, h, TJPF_RGB, &out, &size, subsampling, quality, flags), 0);
  Bytes jpeg(out, out + size);
  tjFree(out);
  tjDestroy(t);
  return jpeg;
}

inline std::uint32_t noise(int x, int y) {
  const std::uint32_t v = std::uint32_t(x) * 2654435761u ^ std::uint32_t(y) * 40503u;
  return ((v >> 8) ^ (std::uint32_t(x + y) << 10) ^ (std::uint32_t(y) << 3)) & 0xFFFFFF;
}

}  // namespace vimbrel::test

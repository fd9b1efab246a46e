#include "platform/imageio/jpeg_source.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/imageio/jpeg_decoder.h"
#include "platform/imageio/jpeg_orientation.h"
#include "platform/pixels/runtime_error.h"
#include "platform/system/file_io.h"
#include "platform/system/memory_admission.h"

namespace vimbrel {
namespace {

// Bytes of the decoder's own rows besides the output: an MCU row of every component, upsampled.
std::uint64_t decoder_bytes(std::int64_t width) {
  return static_cast<std::uint64_t>(width) * 16 * 3 * 3 + (std::uint64_t{1} << 20);
}

class JpegSource final : public PictureSource {
 public:
  JpegSource(UniqueFd fd, std::uint64_t size, std::int64_t width, std::int64_t height)
      : fd_(std::move(fd)), size_(size), width_(width), height_(height) {}
  std::int64_t width() const override { return width_; }
  std::int64_t height() const override { return height_; }
  std::uint64_t held_bytes() const override { return decoder_bytes(width_); }

  void read_rows(std::int64_t first, Bitmap& band) override {
    if (!decoder_ || first < next_) restart();
    std::vector<std::uint8_t*> rows(static_cast<std::size_t>(std::max<int>(band.height(), 1)));
    // Rows before the band are decoded into its first row and dropped.
    for (; next_ < first; ++next_) {
      rows[0] = reinterpret_cast<std::uint8_t*>(band.row(0));
      if (!decoder_->read_rows(rows.data(), 1)) failed();
    }
    const int n = band.height();
    for (int k = 0; k < n; ++k)
      rows[static_cast<std::size_t>(k)] = reinterpret_cast<std::uint8_t*>(band.row(k));
    if (n > 0 && !decoder_->read_rows(rows.data(), n)) failed();
    next_ += n;
    if (next_ == height_) {
      // The converter reads on to the end marker and warns of a cut-off file; such a file is not
      // the picture a whole read gives without that warning.
      decoder_->finish();
      if (decoder_->ended_early()) {
        throw RuntimeError{errc::kInvalidPicture, "the JPEG data ends before its end marker"};
      }
    }
  }

  Bitmap whole() override {
    admit_memory(static_cast<std::uint64_t>(width_) * height_ * 4 + decoder_bytes(width_));
    Bitmap b = Bitmap::create_uninitialised(width_, height_);
    read_rows(0, b);
    return b;
  }

 private:
  void restart() {
    decoder_.reset();
    next_ = 0;
    decoder_ = std::make_unique<JpegDecoder>(fd_.get(), size_);
    if (!decoder_->read_header() || decoder_->width() != width_ || decoder_->height() != height_ ||
        !decoder_->start(JpegDecoder::Pixels::kBgra)) {
      failed();
    }
  }

  [[noreturn]] void failed() {
    if (decoder_->out_of_memory())
      throw RuntimeError{errc::kOutOfMemory, "not enough memory for the JPEG decoder"};
    throw RuntimeError{errc::kInvalidPicture, decoder_->failure()};
  }

  UniqueFd fd_;
  std::uint64_t size_;
  std::int64_t width_, height_;
  std::unique_ptr<JpegDecoder> decoder_;
  std::int64_t next_ = 0;  // the row the decoder gives next
};

}  // namespace

std::shared_ptr<PictureSource> open_jpeg_source(const std::string& path) noexcept {
  try {
    std::uint64_t size = 0;
    UniqueFd fd = open_for_reading(path, size);
    std::uint8_t magic[2] = {};
    if (size < 3 || !read_at(fd.get(), magic, 2, 0) || magic[0] != 0xFF || magic[1] != 0xD8) return nullptr;
    JpegDecoder decoder(fd.get(), size);
    if (!decoder.read_header() || decoder.working_bytes() != 0) return nullptr;
    if (exif_orientation(fd.get(), size) != 1) return nullptr;
    const std::int64_t w = decoder.width(), h = decoder.height();
    if (w <= 0 || h <= 0) return nullptr;
    admit_memory(decoder_bytes(w));
    return std::make_shared<JpegSource>(std::move(fd), size, w, h);
  } catch (...) {  // out of memory or an unreadable file: the converter's own work says so
    return nullptr;
  }
}

}  // namespace vimbrel

#include "platform/imageio/jpeg_source.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "platform/imageio/bmp_format.h"
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
  // `opened` has read the file's header: the first pass starts with it.
  JpegSource(UniqueFd fd, std::uint64_t size, std::unique_ptr<JpegDecoder> opened)
      : fd_(std::move(fd)),
        size_(size),
        width_(opened->width()),
        height_(opened->height()),
        decoder_(std::move(opened)) {}
  std::int64_t width() const override { return width_; }
  std::int64_t height() const override { return height_; }
  bool decodes() const override { return true; }

  void read_rows(std::int64_t first, Bitmap& band) override {
    decode(first, band.height(), Pixels::kBgra,
           [&](std::int64_t k) { return reinterpret_cast<std::uint8_t*>(band.row(static_cast<int>(k))); });
  }

  Bgr24Rows read_bgr24_rows(std::int64_t first, std::int64_t count,
                            std::vector<std::uint8_t>& buffer) override {
    const auto stride = static_cast<std::size_t>(width_) * 3;
    const auto bytes = stride * static_cast<std::size_t>(std::max<std::int64_t>(count, 1));
    grow_guarded(buffer, bytes);
    decode(first, count, Pixels::kBgr, [&](std::int64_t k) { return buffer.data() + k * stride; });
    return {buffer.data(), static_cast<std::ptrdiff_t>(stride)};
  }

  Bitmap whole() override {
    admit_memory(static_cast<std::uint64_t>(width_) * height_ * 4 + decoder_bytes(width_));
    Bitmap b = Bitmap::create_uninitialised(width_, height_);
    read_rows(0, b);
    return b;
  }

 private:
  using Pixels = JpegDecoder::Pixels;

  // Decodes rows [first, first + n) into row_at(0) ... row_at(n - 1) as `pixels`. A pass goes on from
  // where it is in the form it was started in, the rows converted; a new one starts in this form.
  template <typename RowAt>
  void decode(std::int64_t first, std::int64_t n, Pixels pixels, RowAt row_at) {
    if (n <= 0) return;
    if (!started_ || first < next_) restart(pixels);
    const bool converted = pixels != pass_pixels_;
    const std::size_t pass_stride = static_cast<std::size_t>(width_) * (pass_pixels_ == Pixels::kBgr ? 3 : 4);
    if (converted) grow_guarded(scratch_, pass_stride * static_cast<std::size_t>(n));
    const auto out = [&](std::int64_t k) {
      return converted ? scratch_.data() + static_cast<std::size_t>(k) * pass_stride : row_at(k);
    };
    std::vector<std::uint8_t*> rows(static_cast<std::size_t>(n));
    // Rows before the band are decoded into its first row and dropped.
    for (; next_ < first; ++next_) {
      rows[0] = out(0);
      if (!decoder_->read_rows(rows.data(), 1)) failed();
    }
    for (std::int64_t k = 0; k < n; ++k) rows[static_cast<std::size_t>(k)] = out(k);
    if (!decoder_->read_rows(rows.data(), static_cast<int>(n))) failed();
    next_ += n;
    for (std::int64_t k = 0; converted && k < n; ++k) {
      if (pixels == Pixels::kBgr) {
        pixels_to_bgr24(reinterpret_cast<const std::uint32_t*>(out(k)), row_at(k),
                        static_cast<std::size_t>(width_));
      } else {
        bgr24_to_pixels(out(k), reinterpret_cast<std::uint32_t*>(row_at(k)),
                        static_cast<std::size_t>(width_));
      }
    }
    if (next_ == height_) {
      // The converter reads on to the end marker and warns of a cut-off file; such a file is not
      // the picture a whole read gives without that warning.
      decoder_->finish();
      if (decoder_->ended_early()) {
        throw RuntimeError{errc::kInvalidPicture, "the JPEG data ends before its end marker"};
      }
    }
  }

  void restart(Pixels pixels) {
    next_ = 0;
    pass_pixels_ = pixels;
    if (std::exchange(started_, true) || !decoder_) {
      decoder_.reset();
      decoder_ = std::make_unique<JpegDecoder>(fd_.get(), size_);
      if (!decoder_->read_header() || decoder_->width() != width_ || decoder_->height() != height_) failed();
    }
    if (!decoder_->start(pixels)) failed();
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
  bool started_ = false;                // whether decoder_ began a pass (else it has only read the header)
  Pixels pass_pixels_ = Pixels::kBgra;  // the form the decoder's pass gives its rows in
  std::int64_t next_ = 0;               // the row the decoder gives next
  std::vector<std::uint8_t> scratch_;   // rows of the pass's form, when another is asked for
};

}  // namespace

std::shared_ptr<PictureSource> open_jpeg_source(const std::string& path) noexcept {
  try {
    std::uint64_t size = 0;
    UniqueFd fd = open_for_reading(path, size);
    std::uint8_t magic[2] = {};
    if (size < 3 || !read_at(fd.get(), magic, 2, 0) || magic[0] != 0xFF || magic[1] != 0xD8) return nullptr;
    auto decoder = std::make_unique<JpegDecoder>(fd.get(), size);
    if (!decoder->read_header() || decoder->working_bytes() != 0) return nullptr;
    if (exif_orientation(fd.get(), size) != 1) return nullptr;
    if (decoder->width() <= 0 || decoder->height() <= 0) return nullptr;
    admit_memory(decoder_bytes(decoder->width()));
    return std::make_shared<JpegSource>(std::move(fd), size, std::move(decoder));
  } catch (...) {  // out of memory or an unreadable file: the converter's own work says so
    return nullptr;
  }
}

}  // namespace vimbrel

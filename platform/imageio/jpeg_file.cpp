#include "platform/imageio/jpeg_file.h"

// clang-format off
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <csetjmp>
#include <vector>

#include "platform/pixels/runtime_error.h"
#include "platform/system/file_io.h"
#include "platform/system/write_file_beside.h"

namespace vimbrel {
namespace {

constexpr std::size_t kOutputPieceBytes = std::size_t{256} << 10;

// The C side: libjpeg's calls are made from a function that sets the jump point first and holds no
// C++ object that a longjmp could skip.
struct Encoder {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr err{};
  jpeg_destination_mgr dest{};
  std::jmp_buf jump{};
  int fd = -1;
  std::uint64_t written = 0;
  bool write_failed = false;
  std::vector<JOCTET> piece = std::vector<JOCTET>(kOutputPieceBytes);
};

Encoder& encoder_of(j_compress_ptr c) {
  return *static_cast<Encoder*>(c->client_data);
}

void on_error(j_common_ptr c) {
  std::longjmp(static_cast<Encoder*>(c->client_data)->jump, 1);
}

void start_piece(j_compress_ptr c) {
  Encoder& e = encoder_of(c);
  e.dest.next_output_byte = e.piece.data();
  e.dest.free_in_buffer = e.piece.size();
}

void flush(Encoder& e, std::size_t bytes) {
  if (!e.write_failed && !write_at(e.fd, e.piece.data(), bytes, e.written)) e.write_failed = true;
  e.written += bytes;
}

boolean empty_piece(j_compress_ptr c) {
  Encoder& e = encoder_of(c);
  flush(e, e.piece.size());
  start_piece(c);
  return TRUE;
}

void end_piece(j_compress_ptr c) {
  Encoder& e = encoder_of(c);
  flush(e, e.piece.size() - e.dest.free_in_buffer);
}

bool encode(Encoder& e, std::int64_t width, std::int64_t height, const RgbRowSource& row, int quality,
            std::uint8_t* line) {
  if (setjmp(e.jump)) {
    jpeg_destroy_compress(&e.cinfo);
    return false;
  }
  jpeg_create_compress(&e.cinfo);
  e.cinfo.dest = &e.dest;
  e.cinfo.image_width = static_cast<JDIMENSION>(width);
  e.cinfo.image_height = static_cast<JDIMENSION>(height);
  e.cinfo.input_components = 3;
  e.cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&e.cinfo);
  jpeg_set_quality(&e.cinfo, quality, TRUE);
  jpeg_start_compress(&e.cinfo, TRUE);
  for (std::int64_t y = 0; y < height; ++y) {
    try {
      row(y, line);
    } catch (...) {
      jpeg_destroy_compress(&e.cinfo);
      throw;
    }
    JSAMPROW rows[1] = {line};
    jpeg_write_scanlines(&e.cinfo, rows, 1);
  }
  jpeg_finish_compress(&e.cinfo);
  jpeg_destroy_compress(&e.cinfo);
  return !e.write_failed;
}

}  // namespace

void write_jpeg(std::int64_t width, std::int64_t height, const RgbRowSource& row, const std::string& path,
                int quality) {
  if (width <= 0 || height <= 0) throw RuntimeError{errc::kPathAccess, "a picture without pixels"};
  if (width > kMaxJpegSide || height > kMaxJpegSide) {
    throw RuntimeError{errc::kPathAccess, "JPEG holds at most 65535 pixels a side; the picture is " +
                                              std::to_string(width) + " × " + std::to_string(height)};
  }
  std::vector<std::uint8_t> line(static_cast<std::size_t>(width) * 3);
  write_file_beside(path, [&](int fd, bool) {
    Encoder e;
    e.fd = fd;
    e.cinfo.err = jpeg_std_error(&e.err);
    e.err.error_exit = on_error;
    e.cinfo.client_data = &e;
    e.dest.init_destination = start_piece;
    e.dest.empty_output_buffer = empty_piece;
    e.dest.term_destination = end_piece;
    return encode(e, width, height, row, quality, line.data());
  });
}

}  // namespace vimbrel

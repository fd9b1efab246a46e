#include "platform/imageio/jpeg_decoder.h"
#include "platform/imageio/jpeg_coded_data.h"
#include "platform/imageio/picture_bounds.h"

// clang-format off
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <algorithm>
#include <csetjmp>
#include <string>
#include <vector>

#include "platform/system/file_io.h"

namespace vimbrel {

namespace {

// TurboJPEG's scan limit: no sensible progressive file has more scans than this.
constexpr int kMaxScans = 500;

// Work per file: a scan costs time for every block it covers, even when its data is a few bytes of
// end-of-band runs, so a small file of many full scans of a large picture can take minutes. The
// rule: the scans together may cover at most 32 times the picture's blocks. Common progressive
// scripts visit each block 5 or 6 times and the most elaborate encoders about 10; 32 leaves room
// for any real photo and refuses a file beyond it within a few normal decodes' time. Below a
// million block visits (a fraction of a second) the scan limit alone applies.
constexpr std::uint64_t kBlockVisitsPerBlock = 32;
constexpr std::uint64_t kFreeBlockVisits = std::uint64_t{1} << 20;

// A Huffman-coded block costs at least one bit in its first scan, so a real file cannot describe
// much more than 512 pixels a byte; twice that, plus room for tiny pictures, is the bound.
constexpr std::uint64_t kHuffmanPixelsPerByte = 1024;
// Arithmetic coding has no such floor: a few hundred bytes can describe a flat picture of hundreds
// of millions of pixels that takes seconds and gigabytes to make. Photographs code at most a little
// better than with Huffman tables; 64 times the Huffman bound refuses only such made-up pictures.
constexpr std::uint64_t kArithmeticPixelsPerByte = 64 * kHuffmanPixelsPerByte;

// The pixels a byte of coded data may stand for. Data that stops before the end marker is decoded as
// if the rest were zeros, which a flat arithmetic-coded picture needs few of: a cut-off file may only
// make what its data could cover at the Huffman rate.
std::uint64_t pixels_per_coded_byte(bool arithmetic, bool ended) {
  return arithmetic && ended ? kArithmeticPixelsPerByte : kHuffmanPixelsPerByte;
}

// The piece of a file read at a time.
constexpr std::size_t kFilePieceBytes = std::size_t{64} << 10;

}  // namespace

// The C side. Each libjpeg call is made from a function that sets the jump point first and holds
// no C++ object that a longjmp could skip.
struct JpegDecoder::State {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr err{};
  jpeg_progress_mgr progress{};
  std::jmp_buf jump{};
  bool created = false;
  bool started = false;
  bool cmyk = false;
  int counted_scan = 0;  // the last scan whose blocks were added to `block_visits`
  std::uint64_t block_visits = 0;
  std::uint64_t block_visit_budget = 0;
  Pixels pixels = Pixels::kBgr;
  std::vector<std::uint8_t> cmyk_rows;  // one batch of CMYK rows before their conversion
  int fd = -1;                          // the file, read a piece at a time
  std::uint64_t size = 0, next_offset = 0;
  jpeg_source_mgr file_source{};
  std::vector<JOCTET> piece;
  // Set before a jump, so a plain buffer: no C++ object may be left half-made by the longjmp.
  char failure[JMSG_LENGTH_MAX + 96] = {};
  bool ended_early = false;  // libjpeg found the data cut off and made up the rest
};

namespace {

JpegDecoder::State& state_of(j_common_ptr c) {
  return *static_cast<JpegDecoder::State*>(c->client_data);
}

void on_error(j_common_ptr c) {
  JpegDecoder::State& s = state_of(c);
  char text[JMSG_LENGTH_MAX] = {};
  c->err->format_message(c, text);
  std::snprintf(s.failure, sizeof s.failure, "the JPEG decoder refused its data (%s)", text);
  std::longjmp(s.jump, 1);
}

// Warnings are tolerated, as libjpeg's tools do; a cut-off file is remembered for the warning.
void on_message(j_common_ptr c) {
  if (c->err->msg_code == JWRN_JPEG_EOF) state_of(c).ended_early = true;
}

[[noreturn]] void give_up(JpegDecoder::State& s, const char* why) {
  std::snprintf(s.failure, sizeof s.failure, "%s", why);
  std::longjmp(s.jump, 1);
}

// Called before each row of MCUs is read: a new scan adds its blocks before any of them is decoded.
void on_progress(j_common_ptr c) {
  auto* d = reinterpret_cast<j_decompress_ptr>(c);
  JpegDecoder::State& s = state_of(c);
  if (d->input_scan_number > kMaxScans) give_up(s, "a progressive JPEG of more than 500 scans");
  if (d->input_scan_number == s.counted_scan || d->comps_in_scan == 0) return;
  s.counted_scan = d->input_scan_number;
  s.block_visits += std::uint64_t{d->MCUs_per_row} * d->MCU_rows_in_scan * std::uint64_t(d->blocks_in_MCU);
  if (s.block_visits > s.block_visit_budget) {
    give_up(
        s,
        "a JPEG whose scans cover the picture's blocks more than 32 times over (refused as too much work)");
  }
}

std::uint64_t block_visit_budget(const jpeg_decompress_struct& c) {
  std::uint64_t blocks = 0;
  for (int i = 0; i < c.num_components; ++i)
    blocks += std::uint64_t{c.comp_info[i].width_in_blocks} * c.comp_info[i].height_in_blocks;
  return std::max(blocks * kBlockVisitsPerBlock, kFreeBlockVisits);
}

// Adobe-style CMYK (as nearly every CMYK JPEG stores it) holds inverted inks: each stored value is
// already "how much light", so R = C·K/255 and likewise for G and B.
std::uint8_t ink(unsigned v, unsigned k) {
  return static_cast<std::uint8_t>((v * k + 127) / 255);
}

void cmyk_to_pixels(const std::uint8_t* src, std::uint8_t* dst, std::size_t count, bool four) {
  for (std::size_t i = 0; i < count; ++i, src += 4) {
    dst[0] = ink(src[2], src[3]);
    dst[1] = ink(src[1], src[3]);
    dst[2] = ink(src[0], src[3]);
    if (four) {
      dst[3] = 0xFF;
      dst += 4;
    } else {
      dst += 3;
    }
  }
}

// The file source: reads on as libjpeg asks; a file that ends early (or shrinks meanwhile) gets the
// same warning and made-up end marker as libjpeg's memory source gives.
boolean fill_from_file(j_decompress_ptr c) {
  JpegDecoder::State& s = state_of(reinterpret_cast<j_common_ptr>(c));
  const std::size_t want = static_cast<std::size_t>(
      std::min<std::uint64_t>(s.piece.size(), s.size - std::min(s.size, s.next_offset)));
  std::size_t got = 0;
  if (want > 0 && read_at(s.fd, s.piece.data(), want, s.next_offset)) got = want;
  if (got == 0) {
    WARNMS(c, JWRN_JPEG_EOF);
    s.piece[0] = 0xFF;
    s.piece[1] = JPEG_EOI;
    got = 2;
  }
  s.next_offset += got;
  s.file_source.next_input_byte = s.piece.data();
  s.file_source.bytes_in_buffer = got;
  return TRUE;
}

void skip_in_file(j_decompress_ptr c, long count) {
  JpegDecoder::State& s = state_of(reinterpret_cast<j_common_ptr>(c));
  if (count <= 0) return;
  const auto n = static_cast<std::size_t>(count);
  if (n <= s.file_source.bytes_in_buffer) {
    s.file_source.next_input_byte += n;
    s.file_source.bytes_in_buffer -= n;
    return;
  }
  s.next_offset += n - s.file_source.bytes_in_buffer;  // what is skipped is never read
  s.file_source.bytes_in_buffer = 0;
}

void no_op(j_decompress_ptr) {}

void use_file_source(JpegDecoder::State& s) {
  s.file_source.init_source = no_op;
  s.file_source.fill_input_buffer = fill_from_file;
  s.file_source.skip_input_data = skip_in_file;
  s.file_source.resync_to_restart = jpeg_resync_to_restart;
  s.file_source.term_source = no_op;
  s.cinfo.src = &s.file_source;
}

}  // namespace

JpegDecoder::JpegDecoder(int fd, std::uint64_t size) : s_(std::make_unique<State>()) {
  State& s = *s_;
  s.fd = fd;
  s.size = size;
  s.piece.resize(kFilePieceBytes);
  s.cinfo.err = jpeg_std_error(&s.err);
  s.err.error_exit = on_error;
  s.err.output_message = on_message;
  s.cinfo.client_data = &s;
  s.progress.progress_monitor = on_progress;
  if (setjmp(s.jump)) return;
  jpeg_create_decompress(&s.cinfo);
  s.created = true;
  s.cinfo.progress = &s.progress;
}

JpegDecoder::~JpegDecoder() {
  if (s_->created) jpeg_destroy_decompress(&s_->cinfo);
}

bool JpegDecoder::read_header() {
  State& s = *s_;
  if (!s.created || s.size == 0) return fail("an empty file");
  if (setjmp(s.jump)) return false;
  use_file_source(s);
  if (jpeg_read_header(&s.cinfo, TRUE) != JPEG_HEADER_OK) return fail("a JPEG without a picture");
  const std::uint64_t pixels = std::uint64_t{s.cinfo.image_width} * s.cinfo.image_height;
  if (pixels == 0) return fail("a JPEG of no pixels");
  const JpegCodedData data = measure_coded_data(s.fd, s.size);
  if (pixels > data.bytes * pixels_per_coded_byte(s.cinfo.arith_code, data.ended) + kSmallPicturePixels) {
    return fail("JPEG header claims " + std::to_string(s.cinfo.image_width) + " × " +
                std::to_string(s.cinfo.image_height) + " pixels but its scans hold " +
                std::to_string(data.bytes) + " bytes of coded data" +
                (data.ended ? "" : " and stop before the end marker (a cut-off file)"));
  }
  s.cmyk = s.cinfo.jpeg_color_space == JCS_CMYK || s.cinfo.jpeg_color_space == JCS_YCCK;
  s.block_visit_budget = block_visit_budget(s.cinfo);
  return true;
}

int JpegDecoder::width() const {
  return static_cast<int>(s_->cinfo.image_width);
}
int JpegDecoder::height() const {
  return static_cast<int>(s_->cinfo.image_height);
}

std::uint64_t JpegDecoder::working_bytes() const {
  const jpeg_decompress_struct& c = s_->cinfo;
  const std::uint64_t pixels = std::uint64_t{c.image_width} * c.image_height;
  // Whole-image coefficient buffers: two bytes a coefficient, a coefficient a sample.
  const bool whole_image = c.progressive_mode || c.comps_in_scan < c.num_components;
  return whole_image ? pixels * 2 * static_cast<std::uint64_t>(c.num_components) : 0;
}

bool JpegDecoder::start(Pixels pixels) {
  State& s = *s_;
  s.pixels = pixels;
  if (s.cmyk) s.cmyk_rows.resize(std::size_t{s.cinfo.image_width} * 4);
  if (setjmp(s.jump)) return false;
  if (s.cmyk) {
    s.cinfo.out_color_space = JCS_CMYK;
  } else {
    s.cinfo.out_color_space = pixels == Pixels::kBgr ? JCS_EXT_BGR : JCS_EXT_BGRA;
  }
  if (!jpeg_start_decompress(&s.cinfo)) return fail("the JPEG decoder could not start");
  s.started = true;
  if (s.cinfo.output_width == s.cinfo.image_width && s.cinfo.output_height == s.cinfo.image_height)
    return true;
  return fail("the JPEG decoder gives another size than the header's");
}

bool JpegDecoder::read_rows(std::uint8_t* const* rows, int count) {
  State& s = *s_;
  if (!s.started) return false;
  if (setjmp(s.jump)) return false;
  const bool four = s.pixels == Pixels::kBgra;
  for (int done = 0; done < count;) {
    if (s.cinfo.output_scanline >= s.cinfo.output_height)
      return fail("more rows asked for than the JPEG has");
    if (s.cmyk) {
      JSAMPROW row = s.cmyk_rows.data();
      if (jpeg_read_scanlines(&s.cinfo, &row, 1) != 1) return false;
      cmyk_to_pixels(row, rows[done], s.cinfo.output_width, four);
      ++done;
    } else {
      const JDIMENSION got = jpeg_read_scanlines(&s.cinfo, const_cast<JSAMPARRAY>(rows + done),
                                                 static_cast<JDIMENSION>(count - done));
      if (got == 0) return fail("the JPEG decoder gave no rows");
      done += static_cast<int>(got);
    }
  }
  return true;
}

void JpegDecoder::finish() {
  State& s = *s_;
  if (!s.started || s.cinfo.output_scanline < s.cinfo.output_height) return;
  if (setjmp(s.jump)) return;  // a damaged tail after the picture is tolerated
  jpeg_finish_decompress(&s.cinfo);
}

bool JpegDecoder::out_of_memory() const {
  return s_->err.msg_code == JERR_OUT_OF_MEMORY;
}

std::string JpegDecoder::failure() const {
  return s_->failure;
}

bool JpegDecoder::ended_early() const {
  return s_->ended_early;
}

bool JpegDecoder::fail(const std::string& why) {
  std::snprintf(s_->failure, sizeof s_->failure, "%s", why.c_str());
  return false;
}

}  // namespace vimbrel

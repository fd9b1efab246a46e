#include "app/join_command.h"

#include <sched.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>

#include "app/forms_layout.h"
#include "app/join_limits.h"
#include "app/join_options.h"
#include "app/program.h"
#include "app/startup.h"
#include "join/effects.h"
#include "join/placing.h"
#include "join/save_region.h"
#include "platform/imageio/jpeg_source.h"
#include "platform/imageio/prepared_conversion.h"
#include "platform/runtime/headless/headless_runtime.h"
#include "platform/runtime/path_builtins.h"
#include "platform/system/work_folder.h"
#include "sources/image_reader.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;

std::string with_separator(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

std::string absolute(const std::string& path) {
  return fs::absolute(path).lexically_normal().string();
}

// The file the save writes for the chosen path.
std::string saved_path(const std::string& chosen, const std::string& extension) {
  std::string folder;
  return file_under_any_extension_case(save_file_path(chosen, folder, extension));
}

// The processors this process may run on.
int usable_cores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  return ::sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : 1;
}

// Drives the program's procedures in the command's fixed order.
class JoinRun {
 public:
  JoinRun(const JoinOptions& o, const std::string& work_drive, PrivateWorkFolder& private_folder,
          std::ostream& err, JoinReading reading)
      : o_(o),
        reading_(reading),
        rt_(form_layouts()),
        s_(rt_),
        err_(err),
        private_folder_(private_folder),
        work_folder_(private_folder.path()) {
    wire_program(s_);
    s_.save_extension = o.extension;
    rt_.bitmaps().set_jpeg_quality(o.quality);
    rt_.set_windows_unseen(true);
    rt_.bitmaps().set_streaming(reading == JoinReading::kInOrder);
    rt_.bitmaps().set_band_threads(jobs());
    start_up(s_, [&work_drive] { return work_drive; });
    use_private_work_folder(s_, work_folder_);
  }

  // Whether a picture left in its file read otherwise than a whole read would have: what this run
  // did and said is not what the command does, and it runs again reading its pictures whole.
  bool read_again_whole() { return rt_.bitmaps().stream_failed(); }
  int read_whole() { return rt_.bitmaps().read_whole_while_streaming(); }

  // The threads the command may use.
  int jobs() const { return o_.jobs > 0 ? o_.jobs : usable_cores(); }

  // The command's exit status.
  int run() {
    const bool done = new_canvas() && prepare_b() && load("BUTTON53", o_.a) && load("BUTTON54", o_.b) &&
                      done_with_work_folder() && choices() && crop("RADIO5", "--crop-a", o_.crop_a) &&
                      crop("RADIO6", "--crop-b", o_.crop_b) && align() &&
                      move("RADIO5", "--move-a", o_.move_a) && move("RADIO6", "--move-b", o_.move_b) &&
                      save();
    return done ? kJoinWritten : refused_ ? kJoinBadArguments : kJoinFailed;
  }

 private:
  // False, with the messages shown so far on stderr, when the program reported a failure.
  bool ok() {
    for (const auto& m : rt_.messages()) {
      err_ << "vimbrel join: " << m.caption << ": " << m.text << "\n";
      if (!m.detail.empty()) err_ << "vimbrel join: " << m.caption << ": " << m.detail << "\n";
    }
    for (const auto& u : rt_.untrapped())
      err_ << "vimbrel join: error " << u.code << " in " << u.procedure << "\n";
    const bool fine = rt_.messages().empty() && !rt_.ended();
    rt_.clear_messages();
    return fine;
  }

  // A user action that the program did not accept (a command still disabled) is a failure too.
  bool did(bool done, const std::string& what) {
    if (!done) err_ << "vimbrel join: " << what << " could not be used\n";
    return done;
  }

  bool new_canvas() {
    return did(rt_.click("BUTTON52"), "新規作成") && did(rt_.type_text("EDIT1", o_.margin_x), "EDIT1") &&
           did(rt_.type_text("EDIT2", o_.margin_y), "EDIT2") &&
           did(rt_.click("RADIO" + std::to_string(static_cast<int>(o_.side))), "the side") &&
           did(rt_.click("BUTTON2"), "BUTTON2") && ok();
  }

  // With a second core, B's picture is converted while A loads; B's load then takes that work file.
  // The procedures still run one after another on this thread, as with one core.
  bool prepare_b() {
    const std::string b = absolute(o_.b);
    const bool in_order = reading_ == JoinReading::kInOrder;
    std::unique_ptr<Converter> converter = std::make_unique<Converter>();
    if (jobs() > 1 && !read_directly(fs::path(b).extension().string()) &&
        !(in_order && open_jpeg_source(b))) {
      converter =
          std::make_unique<PreparedConversion>(b, s_.doc.work_file_path, work_folder_ + "prepared-b.bmp");
    }
    // A JPEG read in order is left in its file: its conversion writes nothing.
    if (in_order) converter = std::make_unique<DeferringConverter>(std::move(converter));
    rt_.set_converter(std::move(converter));
    return true;
  }

  bool load(const std::string& button, const std::string& path) {
    const std::string full = absolute(path);
    rt_.push_dialog_answer(full);
    if (!did(rt_.click(button), button) || !ok()) return false;
    for (const std::string& w : rt_.take_warnings())
      err_ << "vimbrel join: warning: " << full << ": " << w << "\n";
    return true;
  }

  // Only the loads use the work folder. Removing it before the save keeps the disk's discard of its
  // blocks from queueing behind the output's writes. A conversion prepared ahead and not taken is
  // ended first, so that nothing writes into the folder while it goes.
  bool done_with_work_folder() {
    rt_.set_converter(std::make_unique<Converter>());
    private_folder_.remove();
    return true;
  }

  bool choices() {
    if (!did(rt_.select_row("LIST1", o_.effect), "LIST1") ||
        !did(rt_.click(o_.a_on_top ? "RADIO7" : "RADIO8"), "the stacking order")) {
      return false;
    }
    if (o_.apply_effect) rt_.SETCHECK(s_.c.CHECK1, 1);
    return ok();
  }

  // False, with the reachable values on stderr, when `refusal` says a value cannot be honoured.
  bool honoured(const std::string& option, const std::string& refusal) {
    if (refusal.empty()) return true;
    err_ << "vimbrel join: " << option << " cannot be honoured: " << refusal << "\n";
    refused_ = true;
    return false;
  }

  bool crop(const std::string& radio, const std::string& option, const std::optional<std::array<int, 4>>& c) {
    if (!c) return true;
    if (!honoured(option, crop_refusal(radio == "RADIO5" ? s_.doc.a : s_.doc.b, *c))) return false;
    const auto [left, top, right, bottom] = *c;
    return did(rt_.click(radio), radio) && did(rt_.scroll_to("HSCROLL2", left), "HSCROLL2") &&
           did(rt_.scroll_to("HSCROLL3", -right), "HSCROLL3") &&
           did(rt_.scroll_to("VSCROLL2", top), "VSCROLL2") &&
           did(rt_.scroll_to("VSCROLL3", -bottom), "VSCROLL3") && ok();
  }

  // B placed at the start, centre or end of A, or on their overlap; the offset found and its score
  // are told on stderr, and the reason when nothing matched.
  bool align() {
    if (o_.align_b.empty()) return true;
    if (!did(rt_.click("RADIO6"), "RADIO6")) return false;
    if (o_.align_b != "auto") {
      ALONG_SUB(s_, s_.c.MAINFORM,
                o_.align_b == "start"    ? Along::Start
                : o_.align_b == "centre" ? Along::Centre
                                         : Along::End);
      return ok();
    }
    const std::optional<Alignment> found = ALIGN_SUB(s_, s_.c.MAINFORM);
    if (!found) {
      err_ << "vimbrel join: --align auto: the pictures are not both placed\n";
      return false;
    }
    if (!found->found) {
      err_ << "vimbrel join: --align auto: no matching position: " << found->reason << "\n";
      rt_.clear_messages();
      return false;
    }
    err_ << "vimbrel join: --align auto: B's drawn part at (" << found->offset.u << ", " << found->offset.v
         << ") from A's, score " << score_text(found->score) << " (next best " << score_text(found->runner_up)
         << ")\n";
    return ok();
  }

  bool move(const std::string& radio, const std::string& option, const std::optional<std::array<int, 2>>& m) {
    if (!m) return true;
    if (!honoured(option, move_refusal(s_.doc, radio == "RADIO5" ? s_.doc.a : s_.doc.b, *m))) return false;
    const auto dx = static_cast<float>((*m)[0]), dy = static_cast<float>((*m)[1]);
    return did(rt_.click(radio), radio) &&
           did(rt_.mouse("PICTURE1", "MOUSEDOWN", kRightButton, 0, 0), "PICTURE1") &&
           did(rt_.mouse("PICTURE1", "MOUSEMOVE", kRightButton, dx, dy), "PICTURE1") && ok();
  }

  bool save() {
    rt_.push_dialog_answer(absolute(o_.out));
    return did(rt_.click("BUTTON60"), "BUTTON60") && ok();
  }

  const JoinOptions& o_;
  JoinReading reading_;
  HeadlessRuntime rt_;
  Session s_;
  std::ostream& err_;
  PrivateWorkFolder& private_folder_;
  std::string work_folder_;
  bool refused_ = false;
};

// A run read in order that has to be made again reading whole.
constexpr int kReadAgainWhole = -1;

// One run of the command in its work folder: its exit status, or kReadAgainWhole.
int run_join(const JoinOptions& o, std::ostream& err, JoinReading reading, JoinReadingTrace& trace) {
  std::error_code ec;
  const std::string work =
      with_separator(o.work_dir.empty() ? fs::temp_directory_path(ec).string() : absolute(o.work_dir));
  std::optional<PrivateWorkFolder> private_folder;
  if (!ec) private_folder.emplace(work);
  if (!private_folder || private_folder->path().empty()) {
    err << "vimbrel join: the work folder "
        << (o.work_dir.empty() ? "(the temporary folder, see TMPDIR) " : "") << work
        << " is missing or not writable\n";
    return kJoinFailed;
  }
  JoinRun run(o, work, *private_folder, err, reading);
  const int status = run.run();
  trace.read_whole = run.read_whole();
  trace.read_again_whole = run.read_again_whole();
  return trace.read_again_whole ? kReadAgainWhole : status;
}

}  // namespace

std::string join_usage() {
  std::string effects;
  for (std::size_t n = 0; n < kEffects.size(); ++n)
    effects += "                                    " + std::to_string(n) + "  " + kEffects[n].label + "\n";
  return "usage: vimbrel join A B -o OUT [options]\n"
         "Joins picture B to picture A and writes OUT's folder and name with the extension .BMP\n"
         "(.PNG with --format png, .JPG with --format jpeg).\n"
         "A and B: Windows bitmaps (.bmp), JPEG, PNG or GIF files.\n"
         "  --side right|below|left|above   where B joins A (right)\n"
         "  --margin X,Y                    blank margin added to the canvas (50,50)\n"
         "  --effect N                      overlap effect 0..5 (0), as the effect list names them:\n" +
         effects +
         "  --on-top a|b                    which picture lies on top (b)\n"
         "  --apply-effect                  apply the effect to the saved file\n"
         "  --crop-a L,T,R,B, --crop-b ...  pixels cut off each edge\n"
         "  --align start|centre|end|auto   B at the start, centre or end of A along the side it joins\n"
         "                                  (top, centre, bottom for right and left), or auto: where B\n"
         "                                  matches A on their overlap; after the crops, before the moves\n"
         "  --move-a DX,DY, --move-b ...    move a picture after it was placed\n"
         "  --format bmp|png|jpeg           24-bit Windows bitmap, PNG or JPEG (bmp)\n"
         "  --quality N                     JPEG quality 1..100 (92)\n"
         "  --work-dir DIR                  folder for the converted work file (the temporary folder)\n"
         "  --jobs N                        threads for the loads: 1 loads A, then B (as many as cores)\n"
         "Exit status: 0 written, 1 a load or save failed or --align auto matched nothing, 2 bad arguments\n"
         "or values the pictures do not allow.\n";
}

int run_join_command(std::span<const std::string> args, std::ostream& out, std::ostream& err,
                     JoinReading reading, JoinReadingTrace* trace) {
  std::string error;
  const std::optional<JoinOptions> o = parse_join_options(args, error);
  if (!o) {
    err << "vimbrel join: " << error << "\n" << join_usage();
    return kJoinBadArguments;
  }
  if (o->help) {
    out << join_usage();
    return kJoinWritten;
  }
  if (const std::string refusal = output_refusal(o->out); !refusal.empty()) {
    err << "vimbrel join: " << refusal << "\n";
    return kJoinBadArguments;
  }
  // Read in order, what the run says is held back until it is known that no picture read otherwise
  // than a whole read would have; then it runs again reading whole, as the windows read.
  std::ostringstream held;
  JoinReadingTrace run;
  int status = run_join(*o, reading == JoinReading::kInOrder ? held : err, reading, run);
  if (trace != nullptr) *trace = run;  // of the first run
  if (status == kReadAgainWhole) {
    status = run_join(*o, err, JoinReading::kWhole, run);
  } else if (reading == JoinReading::kInOrder) {
    err << held.str();
  }
  if (status != kJoinWritten) return status;
  out << printable_path(saved_path(absolute(o->out), o->extension)) << "\n";
  return kJoinWritten;
}

}  // namespace vimbrel

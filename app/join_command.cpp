#include "app/join_command.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/effect_names.h"
#include "app/forms_layout.h"
#include "app/join_options.h"
#include "app/startup.h"
#include "join/save_region.h"
#include "platform/runtime/headless/headless_runtime.h"

namespace vimbrel {
namespace {

namespace fs = std::filesystem;

// A private work folder in the system's temporary folder, so that joins running side by side never
// share a work file. Removed with everything in it when the command ends.
class PrivateWorkDir {
 public:
  PrivateWorkDir() {
    std::error_code ec;
    const fs::path temp = fs::temp_directory_path(ec);
    if (ec) return;  // $TMPDIR names no folder: the command says so
    std::string tmpl = (temp / "vimbrel-join-XXXXXX").string();
    if (mkdtemp(tmpl.data()) != nullptr) path_ = tmpl;
  }
  ~PrivateWorkDir() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  PrivateWorkDir(const PrivateWorkDir&) = delete;
  PrivateWorkDir& operator=(const PrivateWorkDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

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
  return save_file_path(chosen, folder, extension);
}

// Drives the program's procedures in the command's fixed order.
class JoinRun {
 public:
  JoinRun(const JoinOptions& o, const std::string& work_drive, std::ostream& err)
      : o_(o), rt_(form_layouts()), s_(rt_), err_(err) {
    wire_program(s_);
    s_.save_extension = o.extension;
    start_up(s_, [&work_drive] { return work_drive; });
  }

  bool run() {
    return new_canvas() && load("BUTTON53", o_.a) && load("BUTTON54", o_.b) && choices() &&
           crop("RADIO5", o_.crop_a) && crop("RADIO6", o_.crop_b) && move("RADIO5", o_.move_a) &&
           move("RADIO6", o_.move_b) && save();
  }

 private:
  // False, with the messages shown so far on stderr, when the program reported a failure.
  bool ok() {
    for (const auto& m : rt_.messages()) err_ << "vimbrel join: " << m.caption << ": " << m.text << "\n";
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
           did(rt_.click("RADIO" + std::to_string(o_.side)), "the side") &&
           did(rt_.click("BUTTON2"), "BUTTON2") && ok();
  }

  bool load(const std::string& button, const std::string& path) {
    rt_.push_dialog_answer(absolute(path));
    return did(rt_.click(button), button) && ok();
  }

  bool choices() {
    if (!did(rt_.select_row("LIST1", o_.effect), "LIST1") ||
        !did(rt_.click(o_.a_on_top ? "RADIO7" : "RADIO8"), "the stacking order")) {
      return false;
    }
    if (o_.apply_effect) rt_.SETCHECK(s_.c.CHECK1, 1);
    return ok();
  }

  bool crop(const std::string& radio, const std::optional<std::array<int, 4>>& c) {
    if (!c) return true;
    const auto [left, top, right, bottom] = *c;
    return did(rt_.click(radio), radio) && did(rt_.scroll_to("HSCROLL2", left), "HSCROLL2") &&
           did(rt_.scroll_to("HSCROLL3", -right), "HSCROLL3") &&
           did(rt_.scroll_to("VSCROLL2", top), "VSCROLL2") &&
           did(rt_.scroll_to("VSCROLL3", -bottom), "VSCROLL3") && ok();
  }

  bool move(const std::string& radio, const std::optional<std::array<int, 2>>& m) {
    if (!m) return true;
    const auto dx = static_cast<float>((*m)[0]), dy = static_cast<float>((*m)[1]);
    return did(rt_.click(radio), radio) && did(rt_.mouse("PICTURE1", "MOUSEDOWN", 2, 0, 0), "PICTURE1") &&
           did(rt_.mouse("PICTURE1", "MOUSEMOVE", 2, dx, dy), "PICTURE1") && ok();
  }

  bool save() {
    rt_.push_dialog_answer(absolute(o_.out));
    return did(rt_.click("BUTTON60"), "BUTTON60") && ok();
  }

  const JoinOptions& o_;
  HeadlessRuntime rt_;
  Session s_;
  std::ostream& err_;
};

}  // namespace

std::string join_usage() {
  std::string effects;
  for (std::size_t n = 0; n < kEffectNames.size(); ++n)
    effects += "                                    " + std::to_string(n) + "  " + kEffectNames[n] + "\n";
  return "usage: vimbrel join A B -o OUT [options]\n"
         "Joins picture B to picture A and writes OUT's folder and name with the extension .BMP\n"
         "(.PNG with --format png).\n"
         "A and B: Windows bitmaps (.bmp), JPEG, PNG or GIF files.\n"
         "  --side right|below|left|above   where B joins A (right)\n"
         "  --margin X,Y                    blank margin added to the canvas (50,50)\n"
         "  --effect N                      overlap effect 0..5 (0), as the effect list names them:\n" +
         effects +
         "  --on-top a|b                    which picture lies on top (b)\n"
         "  --apply-effect                  apply the effect to the saved file\n"
         "  --crop-a L,T,R,B, --crop-b ...  pixels cut off each edge\n"
         "  --move-a DX,DY, --move-b ...    move a picture after it was placed\n"
         "  --format bmp|png                24-bit Windows bitmap or PNG (bmp)\n"
         "  --work-dir DIR                  folder for the converted work file (a private temporary folder)\n"
         "Exit status: 0 written, 1 a load or save failed, 2 bad arguments.\n";
}

int run_join_command(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
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
  PrivateWorkDir private_dir;
  const std::string work = o->work_dir.empty() ? private_dir.path() : absolute(o->work_dir);
  if (work.empty()) {
    err << "vimbrel join: no work folder could be made in the temporary folder (see TMPDIR)\n";
    return kJoinFailed;
  }
  JoinRun run(*o, with_separator(work), err);
  if (!run.run()) return kJoinFailed;
  out << saved_path(absolute(o->out), o->extension) << "\n";
  return kJoinWritten;
}

}  // namespace vimbrel

// The join document: the one set of program-wide values that describes the current join.
//
// Twins are written once: `a_width` is `doc.a.width`, `undo_b_x` is `doc.b.undo_x`, and so on. The
// values of the view, the cut-out window, a load and the image selector keep their names in groups
// of their own: `view_x` is `doc.view.view_x`.
#pragma once

#include <cstdint>
#include <string>

#include "join/twins.h"
#include "platform/runtime/handles.h"

namespace vimbrel {

// One image slot (A or B): its bitmap, size, crop, placement, files and cut-out view.
struct ImageSlot {
  BitmapObject bitmap;
  float width = 0, height = 0;  // 0 = no image

  // Crop: the drawn part. Right and bottom are stored as offsets <= 0 from the image's edges.
  std::int16_t src_left = 0, src_top = 0, src_right_off = 0, src_bottom_off = 0;
  float src_width = 0, src_height = 0;
  // Bounds of the crop sliders, set by the reader.
  std::int16_t src_left_max = 0, src_right_min = 0, src_top_max = 0, src_bottom_min = 0;

  // Placement: canvas position of the untrimmed top-left corner; negative = not placed yet.
  float x = 0, y = 0;
  float draw_x = 0, draw_y = 0;  // where the drawn part lands: x + src_left, y + src_top
  float undo_x = 0, undo_y = 0;  // one-level UNDO copy

  std::string file_path, file_title, file_ext, open_dir;

  float cutout_x = 0, cutout_y = 0;  // the pixel shown at the cut-out window's top-left corner
};

// The main view's layout and scrolling, kept between layouts (the mouse handlers of PICTURE1 read
// and move them too).
struct ViewState {
  std::int16_t scrollbar_size = 0;
  std::int16_t title_bar_height = 0;
  std::int16_t frame_size = 0;
  std::int16_t win_width = 0, win_height = 0;
  std::int16_t last_win_width = 0, last_win_height = 0;
  float last_canvas_width = 0, last_canvas_height = 0;
  std::int16_t client_width = 0, client_height = 0;
  std::int16_t need_hbar = 0, need_vbar = 0;
  std::int16_t view_width = 0, view_height = 0;
  std::int16_t scroll_pos_x = 0, scroll_pos_y = 0;
  std::int16_t scroll_max_x = 0, scroll_max_y = 0;
  float scroll_unit_x = 0, scroll_unit_y = 0;
  float over_x = 0, over_y = 0;
  float view_x = 0, view_y = 0;
  std::int16_t corner_state = 0;
  // The view scale (1 unless the user zooms). Chosen: the whole canvas
  // (fit) or a scale in device pixels per canvas pixel. In force after the last layout: the scale,
  // the zoom in client pixels per canvas pixel (scale / device ratio), and PICTURE1's corner.
  bool fit = false;
  double chosen_scale = 1;
  double scale = 1, zoom = 1;
  float device_ratio = 1;
  bool last_fit = false;
  double last_chosen_scale = 1;
  float last_device_ratio = 1;
  std::int16_t picture_x = 0, picture_y = 0;
  // What a right-button drag has moved less than a canvas pixel, carried to its next step.
  float drag_rest_x = 0, drag_rest_y = 0;
};

// The cut-out window: which twin it shows, its size and its place on the screen.
struct CutoutWindow {
  std::int16_t cutout_source = kNeither;  // the twin shown
  float cutout_width = 0, cutout_height = 0;
  float cutout_left = 0, cutout_top = 0;
};

// Values a load passes from the button to the reader and back.
struct LoadScratch {
  std::string load_path;
  std::int16_t load_failed = 0;
  std::int16_t load_button = 0;
  std::int16_t last_loaded = kNeither;  // the twin read last; kNeither after New
};

// Where GROUP2 and its radio buttons stand on FORM3 (re-laid out for the join side).
struct SelectorPlacement {
  std::int16_t ctl_group_x = 0, ctl_group_y = 0, ctl_group_width = 0, ctl_group_height = 0;
  std::int16_t radio5_dy = 0, radio6_dy = 0;
};

// What "新規作成" found when it opened the settings form, put back when the form is cancelled.
struct SettingsOpened {
  std::int16_t side = 0;  // the checked side radio button, 1 to 4; 0 for none
  bool cutout_shown = false;
};

struct JoinDocument {
  std::string app_title;
  float run_flag = 0;

  ImageSlot a, b;
  BitmapObject canvas_bitmap;
  float canvas_width = 0, canvas_height = 0;
  float margin_x = 0, margin_y = 0;
  std::int16_t effect_index = 0;

  std::string save_dir, save_file_name;
  std::string work_drive, work_file_path;
  std::string settings_file;  // the settings file work_drive was read from, for messages about it

  ViewState view;
  CutoutWindow cutout;
  LoadScratch load;
  SelectorPlacement selector;
  SettingsOpened settings_opened;
  // The join on the canvas has changed since it was last saved: each redraw of a picture sets it,
  // a save and New clear it. "新規作成" asks before it throws such a join away.
  bool unsaved_changes = false;

  // Mouse tracking shared by the main view and the cut-out window.
  std::int16_t mouse_last_x = 0, mouse_last_y = 0;

  ImageSlot& slot(Twin t) { return t == Twin::A ? a : b; }
  const ImageSlot& slot(Twin t) const { return t == Twin::A ? a : b; }
};

}  // namespace vimbrel

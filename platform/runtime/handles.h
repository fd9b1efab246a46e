// Handles of the runtime's objects. A handle is a small value; the runtime owns the object.
#pragma once

#include <cstdint>

namespace vimbrel {

// A form or a control. Id 0 is "no window".
struct Window {
  int id = 0;
  explicit operator bool() const { return id != 0; }
  friend bool operator==(Window, Window) = default;
};

// A bitmap object, declared by BITMAPOBJECT. Id 0 is an undeclared object.
struct BitmapObject {
  int id = 0;
  explicit operator bool() const { return id != 0; }
  friend bool operator==(BitmapObject, BitmapObject) = default;
};

// The mouse buttons held, as EventArgs::button reports them: a bit each.
inline constexpr std::int16_t kLeftButton = 1;
inline constexpr std::int16_t kRightButton = 2;
inline constexpr std::int16_t kBothButtons = kLeftButton | kRightButton;

// The keys held with a mouse event, as EventArgs::shift reports them: a bit each.
inline constexpr std::int16_t kShiftKey = 1;
inline constexpr std::int16_t kCtrlKey = 2;

// What an event procedure receives: the window of its event and, for mouse events, the buttons
// held, the keys held and the point in the control's pixels; for a WHEEL event the wheel's turn in
// eighths of a degree (120 a notch, positive away from the user).
struct EventArgs {
  Window owner;
  std::int16_t button = 0;
  std::int16_t shift = 0;
  float x = 0, y = 0;
  int wheel = 0;
};

}  // namespace vimbrel

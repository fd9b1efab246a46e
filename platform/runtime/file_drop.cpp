// Drops delivered through the normal dispatch, so that a drop runs as one procedure like a click.
#include "platform/runtime/file_drop.h"

#include "platform/runtime/form_runtime.h"

namespace vimbrel {

Window FormRuntime::drop_click(Window target, std::span<const DroppedItem> items) {
  if (busy() || ended() || !drop_rule_) return {};
  const Window button = drop_rule_(target, items);
  // A drop never reaches what a click could not: the rule is checked against the button itself.
  if (!button || !usable(button) || items.size() != 1 || !items.front().regular_file) return {};
  return button;
}

std::string FormRuntime::drop_hint(Window target, std::span<const DroppedItem> items) {
  if (busy() || ended() || !drop_hint_ || drop_click(target, items)) return {};
  return drop_hint_(target, items);
}

bool FormRuntime::drop(Window target, std::span<const DroppedItem> items) {
  const Window button = drop_click(target, items);
  if (!button) {
    if (const std::string hint = drop_hint(target, items); !hint.empty())
      MESSAGEBOX(form_of(target), items.front().path, hint, 0, 0);
    return false;
  }
  return press(button, items.front().path);
}

bool FormRuntime::press(Window button, std::optional<std::string> answer) {
  if (busy() || ended() || !usable(button)) return false;
  drop_answer_ = std::move(answer);
  const bool ran = dispatch(button, "ON", {form_of(button)});
  drop_answer_.reset();  // a procedure that asked nothing leaves no answer for a later dialog
  return ran;
}

}  // namespace vimbrel

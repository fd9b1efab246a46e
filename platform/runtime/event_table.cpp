#include "platform/runtime/event_table.h"

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>

namespace vimbrel {
namespace {

constexpr std::array<std::string_view, 1> kClicked{"ON"};
constexpr std::array<std::string_view, 1> kChanged{"CHANGE"};
constexpr std::array<std::string_view, 2> kMouse{"MOUSEDOWN", "MOUSEMOVE"};
constexpr std::array<std::string_view, 3> kPicture{"MOUSEDOWN", "MOUSEMOVE", "WHEEL"};
constexpr std::array<std::string_view, 2> kMainForm{"RESIZE", "END"};
constexpr std::array<std::string_view, 1> kDialog{"CANCEL"};

// The events of the form or control of `form` called `name` (exactly, as the dispatcher forms the
// name); nullopt if there is none.
std::optional<std::span<const std::string_view>> events_named(const FormLayout& form, std::string_view name) {
  if (form.name == name) return events_of(form.style);
  for (const ControlLayout& c : form.controls) {
    if (c.name == name) return events_of(c.kind);
  }
  return std::nullopt;
}

}  // namespace

void add_event(EventTable& table, std::string name, EventProc proc) {
  if (!table.try_emplace(name, std::move(proc)).second)
    throw std::invalid_argument("event procedure added twice: " + name);
}

std::span<const std::string_view> events_of(ControlKind kind) {
  switch (kind) {
    case ControlKind::Button:
    case ControlKind::Radio:
    case ControlKind::Check:
    case ControlKind::MenuItem:
      return kClicked;
    case ControlKind::HScroll:
    case ControlKind::VScroll:
    case ControlKind::List:
      return kChanged;
    case ControlKind::Picture:
      return kPicture;
    case ControlKind::Label:
    case ControlKind::Edit:
    case ControlKind::Group:
      break;
  }
  return {};
}

std::span<const std::string_view> events_of(FormStyle style) {
  switch (style) {
    case FormStyle::Main:
      return kMainForm;
    case FormStyle::Popup:
      return kMouse;
    case FormStyle::Dialog:
      return kDialog;
    case FormStyle::FixedCaption:
      break;
  }
  return {};
}

void check_event_table(const EventTable& table, std::span<const FormLayout> layouts) {
  for (const auto& [name, proc] : table) {
    const auto cut = name.rfind('_');
    const std::string_view owner = std::string_view(name).substr(0, cut == std::string::npos ? 0 : cut);
    const std::string_view event = cut == std::string::npos ? name : std::string_view(name).substr(cut + 1);
    std::optional<std::span<const std::string_view>> raised;
    for (const FormLayout& f : layouts) {
      if (!raised) raised = events_named(f, owner);
    }
    if (!raised) throw std::invalid_argument("event procedure for no control or form: " + name);
    if (std::ranges::find(*raised, event) == raised->end())
      throw std::invalid_argument("event procedure for an event its control never raises: " + name);
  }
}

}  // namespace vimbrel

#include "app/file_drop.h"

namespace vimbrel {
namespace {

DropSpot spot_of(const Session& s, Window target) {
  const auto& button = s.c.BUTTON;
  if (target == button[53]) return DropSpot::LoadA;
  if (target == button[54]) return DropSpot::LoadB;
  if (target == button[55]) return DropSpot::ReloadA;
  if (target == button[56]) return DropSpot::ReloadB;
  if (target && s.rt.form_of(target) == s.c.MAINFORM) return DropSpot::MainWindow;
  if (target == s.c.FORM3) return DropSpot::Controller;
  return DropSpot::Elsewhere;
}

DropState state_of(const Session& s) {
  const auto usable = [&s](int n) { return s.rt.usable(s.c.BUTTON[static_cast<std::size_t>(n)]); };
  return {usable(53), usable(54), usable(55), usable(56), s.doc.a.width > 0};
}

}  // namespace

int drop_button(DropSpot spot, std::span<const DroppedItem> items, const DropState& state) {
  if (items.size() != 1 || !items.front().regular_file || items.front().path.empty()) return 0;
  const int a = state.load_a ? 53 : 0;
  const int b = state.load_b ? 54 : 0;
  switch (spot) {
    case DropSpot::LoadA:
      return a;
    case DropSpot::LoadB:
      return b;
    case DropSpot::ReloadA:
      return state.reload_a ? a : 0;
    case DropSpot::ReloadB:
      return state.reload_b ? b : 0;
    case DropSpot::MainWindow:
      return !state.a_loaded && a != 0 ? a : b;
    case DropSpot::Controller:
    case DropSpot::Elsewhere:
      return 0;
  }
  return 0;
}

std::string drop_hint(DropSpot spot, std::span<const DroppedItem> items, const DropState& state) {
  if (spot == DropSpot::Elsewhere || items.size() != 1 || !items.front().regular_file) return {};
  if (state.load_a || state.load_b || state.a_loaded || drop_button(spot, items, state) != 0) return {};
  return kSettingsFirst;
}

void add_drop_rule(Session& s) {
  s.rt.set_drop_rule([&s](Window target, std::span<const DroppedItem> items) {
    const int button = drop_button(spot_of(s, target), items, state_of(s));
    return button == 0 ? Window{} : s.c.BUTTON[static_cast<std::size_t>(button)];
  });
  s.rt.set_drop_hint([&s](Window target, std::span<const DroppedItem> items) {
    return drop_hint(spot_of(s, target), items, state_of(s));
  });
}

}  // namespace vimbrel

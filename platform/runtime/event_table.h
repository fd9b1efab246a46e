// The table of event procedures by name ("BUTTON53_ON", "PICTURE1_MOUSEMOVE", ...), and the one way
// to add to it: VIMBREL_EVENT takes the event's name from the procedure's own identifier, so the two
// cannot drift apart. The runtime refuses a table naming an event that no control or form raises.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>

#include "platform/runtime/form_layout.h"
#include "platform/runtime/handles.h"

namespace vimbrel {

using EventProc = std::function<void(const EventArgs&)>;
using EventTable = std::unordered_map<std::string, EventProc>;

// Adds the procedure of the event `name` ("<CONTROL>_<EVENT>"); a name added twice is refused
// (std::invalid_argument), since the second would silently replace the first.
void add_event(EventTable& table, std::string name, EventProc proc);

// Adds `proc` called with `context` and, as it takes them, the event's window or all of its arguments.
template <class Context, class Proc>
void add_procedure(EventTable& table, std::string name, Context& context, Proc* proc) {
  if constexpr (std::is_invocable_v<Proc*, Context&, const EventArgs&>) {
    add_event(table, std::move(name), [&context, proc](const EventArgs& e) { proc(context, e); });
  } else {
    add_event(table, std::move(name), [&context, proc](const EventArgs& e) { proc(context, e.owner); });
  }
}

// Registers the event procedure `proc` under its own name: VIMBREL_EVENT(table, s, BUTTON53_ON).
#define VIMBREL_EVENT(table, context, proc) ::vimbrel::add_procedure(table, #proc, context, &proc)

// The events a control of `kind`, or a form of `style`, raises.
std::span<const std::string_view> events_of(ControlKind kind);
std::span<const std::string_view> events_of(FormStyle style);

// Throws std::invalid_argument naming the first entry of `table` whose control or form is in none of
// `layouts`, or whose event that control or form cannot raise.
void check_event_table(const EventTable& table, std::span<const FormLayout> layouts);

}  // namespace vimbrel

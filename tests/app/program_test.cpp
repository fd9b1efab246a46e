// The program's whole table of event procedures against its forms.
#include <gtest/gtest.h>

#include <stdexcept>

#include "app/forms_layout.h"
#include "app/program.h"
#include "app/startup.h"
#include "platform/runtime/headless/headless_runtime.h"

namespace vimbrel {
namespace {

TEST(ProgramEvents, TheWholeTableIsAcceptedAndNoButtonIsDead) {
  HeadlessRuntime rt(form_layouts());
  Session s(rt);
  ASSERT_NO_THROW(wire_program(s));
  for (const FormLayout& f : form_layouts()) {
    for (const ControlLayout& c : f.controls) {
      if (c.kind == ControlKind::Button) {
        EXPECT_TRUE(rt.has_procedure(c.name + "_ON")) << c.name;
      }
    }
  }
  EXPECT_TRUE(rt.has_procedure("MAINFORM_RESIZE"));
  EXPECT_TRUE(rt.has_procedure("FORM4_MOUSEMOVE"));

  // A misspelt entry is refused against the same forms, and the installed table stays.
  EventTable misspelt;
  add_event(misspelt, "BUTTON530_ON", [](const EventArgs&) {});
  EXPECT_THROW(rt.set_event_table(std::move(misspelt)), std::invalid_argument);
  EXPECT_TRUE(rt.has_procedure("BUTTON53_ON"));
}

}  // namespace
}  // namespace vimbrel

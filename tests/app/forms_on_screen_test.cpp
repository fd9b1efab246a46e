// The program's forms built by the Qt backend (offscreen) exactly as their table says.
#include <gtest/gtest.h>

#include <array>

#include "app/forms_layout.h"
#include "tests/support/qt_form_checks.h"

namespace vimbrel {
namespace {

TEST(ProgramFormsOnScreen, EveryControlIsBuiltAsTheFormTableSays) {
  QtRuntime rt(form_layouts());
  std::array<Window, 4> forms{rt.GETDLGITEM(Window{}, "MAINFORM")};
  rt.CREATEWINDOW(forms[1], "FORM2", 0);
  rt.CREATEWINDOW(forms[2], "FORM3", -1);
  rt.CREATEWINDOW(forms[3], "FORM4", 0);
  EXPECT_EQ(test::expect_forms_built(rt, form_layouts(), forms), 3u);
}

}  // namespace
}  // namespace vimbrel

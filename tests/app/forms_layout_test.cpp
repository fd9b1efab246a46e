#include "app/forms_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace vimbrel {
namespace {

const ControlLayout& find(const FormLayout& f, const std::string& name) {
  for (const ControlLayout& c : f.controls)
    if (c.name == name) return c;
  throw std::runtime_error("no control " + name);
}

TEST(FormsLayout, EveryControlLiesInsideItsFormAndNamesAreUnique) {
  std::set<std::string> names;
  for (const FormLayout& f : form_layouts()) {
    for (const ControlLayout& c : f.controls) {
      EXPECT_TRUE(names.insert(c.name).second) << c.name;
      EXPECT_GE(c.x, 0) << c.name;
      EXPECT_LE(c.x + c.width, f.width) << c.name;
      EXPECT_LE(c.y + c.height, f.height) << c.name;
    }
  }
  // 88 bound controls, GROUP1, the four commands placing pictures, the four of the 表示 menu, and the
  // fourteen menu items and keys that stand for buttons.
  EXPECT_EQ(names.size(), 111u);
}

TEST(FormsLayout, StepButtonsFormTheStarAroundUndo) {
  const FormLayout f = form_layouts()[2];
  struct Row {
    const char* name;
    int x, y, w, h;
    const char* caption;
  };
  const Row rows[] = {
      {"BUTTON4", 152, 296, 24, 24, "右１"}, {"BUTTON5", 104, 296, 24, 24, "左１"},
      {"BUTTON6", 128, 320, 24, 24, "下１"}, {"BUTTON7", 128, 272, 24, 24, "上１"},
      {"BUTTON28", 152, 272, 24, 24, "1"},   {"BUTTON31", 104, 272, 24, 24, "1"},
      {"BUTTON8", 176, 296, 16, 24, "2"},    {"BUTTON11", 128, 256, 24, 16, "2"},
      {"BUTTON33", 176, 344, 16, 16, "2"},   {"BUTTON27", 128, 192, 24, 16, "50"},
      {"BUTTON50", 24, 408, 16, 16, "50"},   {"BUTTON48", 240, 192, 16, 16, "50"},
  };
  for (const Row& r : rows) {
    const ControlLayout& c = find(f, r.name);
    EXPECT_EQ((std::map<std::string, int>{{"x", c.x}, {"y", c.y}, {"w", c.width}, {"h", c.height}}),
              (std::map<std::string, int>{{"x", r.x}, {"y", r.y}, {"w", r.w}, {"h", r.h}}))
        << r.name;
    EXPECT_EQ(c.caption, r.caption) << r.name;
    EXPECT_EQ(c.font_size, 10.0f) << r.name;
  }
}

TEST(FormsLayout, RadioGroupsAndInitialChecks) {
  const auto forms = form_layouts();
  const FormLayout& f2 = forms[1];
  const FormLayout& f3 = forms[2];
  EXPECT_TRUE(find(f2, "RADIO1").checked);
  EXPECT_EQ(find(f2, "RADIO1").radio_group, find(f2, "RADIO4").radio_group);
  EXPECT_NE(find(f3, "RADIO5").radio_group, find(f3, "RADIO7").radio_group);
  EXPECT_EQ(find(f3, "RADIO5").radio_group, find(f3, "RADIO6").radio_group);
  EXPECT_TRUE(find(f3, "RADIO6").checked);
  EXPECT_TRUE(find(f3, "RADIO8").checked);
  EXPECT_FALSE(find(f3, "CHECK1").checked);
  EXPECT_TRUE(find(f2, "EDIT1").digits_only);
  EXPECT_FALSE(forms[0].controls[1].visible);  // HSCROLL1 starts hidden
  EXPECT_EQ(forms[3].style, FormStyle::Popup);
}

}  // namespace
}  // namespace vimbrel

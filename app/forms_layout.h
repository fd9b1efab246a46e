// The layouts of MAINFORM, FORM2, FORM3 and FORM4 with every control: the one table both backends build.
#pragma once

#include <vector>

#include "platform/runtime/form_layout.h"

namespace vimbrel {

std::vector<FormLayout> form_layouts();

}  // namespace vimbrel

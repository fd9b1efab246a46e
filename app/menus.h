// Enabling of the controller's commands: all off but "新規作成" after New, all on after a join.
#pragma once

#include "join/session.h"

namespace vimbrel {

void MENU_RESET(Session& s, Window owner);
void MENU_ALLSET(Session& s, Window owner);

}  // namespace vimbrel

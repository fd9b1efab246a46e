// Message boxes sized for their caption as well as their text.
#pragma once

class QMessageBox;

namespace vimbrel {

// The width the window system needs to show `box`'s whole caption beside its title-bar buttons.
int caption_width(const QMessageBox& box);
// Makes `box` at least that wide; Qt sizes a message box by its text alone.
void fit_caption(QMessageBox& box);

}  // namespace vimbrel

// Where the Qt backend puts a form that its layout asks to keep beside the main window.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace vimbrel {

// The outer top-left corner that puts a window of outer size `outer` against the right edge of
// the work area `avail`, as near its laid-out top `laid_y` as keeps it wholly visible.
QPoint right_edge_corner(const QRect& avail, QSize outer, int laid_y);

// Shows `form` at the right edge of its screen's work area: placed once before it is shown and
// once more when the window manager has framed it, so that the frame counts as well.
void show_at_right_edge(QWidget& form, int laid_y);

}  // namespace vimbrel

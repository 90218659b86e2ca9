#pragma once
// Mouse actions on the desktop program's list views, for Qt tests.

#include <QApplication>
#include <QContextMenuEvent>

#include "ui/list_view.h"

namespace zarvex::test {

// A right click near the list's top-left corner, as the mouse would give it.
inline void right_click(ListView* view) {
  const QPoint at(10, 10);
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
  QApplication::sendEvent(view->viewport(), &event);
}

}  // namespace zarvex::test

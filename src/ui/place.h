#pragma once
// Every control carries its own name as object name and sits at a fixed place in its parent.

#include <QRect>
#include <QString>

namespace zarvex {

template <class W>
W* place(W* widget, const char* name, QRect geometry) {
  widget->setObjectName(QString::fromUtf8(name));
  widget->setGeometry(geometry);
  return widget;
}

}  // namespace zarvex

#include "ui/click_label.h"

#include <QMouseEvent>

namespace zarvex {

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent) {}

ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    emit pressed();
    event->accept();
    return;
  }
  QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit clicked();
    event->accept();
    return;
  }
  QLabel::mouseReleaseEvent(event);
}

}  // namespace zarvex

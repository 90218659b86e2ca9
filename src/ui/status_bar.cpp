#include "ui/status_bar.h"

#include <QMouseEvent>

namespace zarvex {
namespace {

// Widths of parts 0..2; part 3 takes the rest.
constexpr int part_widths[] = {160, 170, 110};

}  // namespace

StatusBar::StatusBar(QWidget* parent) : QFrame(parent) {
  setFrameShape(QFrame::NoFrame);
  setAutoFillBackground(true);
  for (int i = 0; i < part_count; ++i) {
    auto* part = new QLabel(this);
    part->setObjectName(QStringLiteral("状态条1_%1").arg(i));
    part->setFrameShape(QFrame::StyledPanel);
    part->setFrameShadow(QFrame::Sunken);
    part->setContentsMargins(3, 0, 3, 0);
    part->setAttribute(Qt::WA_TransparentForMouseEvents);
    parts_[static_cast<std::size_t>(i)] = part;
  }
}

void StatusBar::set_text(int part, const QString& text) {
  if (part < 0 || part >= part_count) return;
  parts_[static_cast<std::size_t>(part)]->setText(text);
}

QString StatusBar::text(int part) const {
  if (part < 0 || part >= part_count) return {};
  return parts_[static_cast<std::size_t>(part)]->text();
}

void StatusBar::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    emit clicked();
    event->accept();
    return;
  }
  QFrame::mouseReleaseEvent(event);
}

void StatusBar::resizeEvent(QResizeEvent* event) {
  int x = 0;
  for (int i = 0; i < part_count; ++i) {
    const int w = i < part_count - 1 ? part_widths[i] : std::max(0, width() - x);
    parts_[static_cast<std::size_t>(i)]->setGeometry(x, 0, w, height());
    x += w;
  }
  QFrame::resizeEvent(event);
}

}  // namespace zarvex

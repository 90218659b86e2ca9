#include "ui/decoration/shadow_window.h"

#include <QEvent>
#include <QPainter>

#include <utility>

#include "ui/decoration/shadow.h"

namespace zarvex {

// A top-level window owned by `owner` (stacked with it and destroyed with it) that takes no
// input, never the focus, and draws only its own per-pixel-alpha picture.
ShadowWindow::ShadowWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                         Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
  setWindowTitle(QString());
}

void ShadowWindow::set_pixels(QImage pixels) {
  pixels_ = std::move(pixels);
  update();
}

bool ShadowWindow::event(QEvent* event) {
  // A platform that activates every window it shows gets the activation handed back: the
  // shadow never keeps it from its owner.
  if (event->type() == QEvent::WindowActivate) {
    QWidget* owner = parentWidget();
    if (owner != nullptr && owner->isVisible()) owner->activateWindow();
  }
  return QWidget::event(event);
}

void ShadowWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.fillRect(rect(), Qt::transparent);
  painter.drawImage(0, 0, pixels_);
}

ShadowFollower::ShadowFollower(QWidget* owner) : QObject(owner) {}

bool ShadowFollower::eventFilter(QObject* watched, QEvent* event) {
  auto* owner = qobject_cast<QWidget*>(watched);
  if (owner == nullptr || owner != parent()) return false;
  switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
      update_shadow(owner);
      break;
    case QEvent::Show:
      update_shadow(owner, true);
      break;
    case QEvent::Hide:
      update_shadow(owner, false);
      break;
    default:
      break;
  }
  return false;  // the owner handles every event as before
}

}  // namespace zarvex

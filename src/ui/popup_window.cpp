#include "ui/popup_window.h"

#include <QEvent>

#include "ui/look.h"
#include "ui/place.h"

namespace zarvex {

PopupWindow::PopupWindow(int width, int height, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      shape_(new QFrame(this)) {
  resize(width, height);
  setFocusPolicy(Qt::StrongFocus);
  shape_->setObjectName(QStringLiteral("外形框1"));
  shape_->setFrameShape(QFrame::Box);
  shape_->setStyleSheet(
      QStringLiteral("QFrame#外形框1 { background: #FFFFFF; border: 1px solid #D8D8D8; }"));
  shape_->setMouseTracking(true);
  shape_->installEventFilter(this);
  // The shape fills the whole window, whatever its place in the design.
  shape_->setGeometry(0, 0, width, height);
}

ClickLabel* PopupWindow::add_item(const QString& label_name, QRect label_place,
                                  const QString& caption, std::function<void()> on_click) {
  auto* label = new ClickLabel(caption, this);
  label->setObjectName(label_name);
  // The caption's leading blanks leave room for the item's picture; they were measured in a
  // font whose blank is 6 pixels wide, so a narrower blank is made up for by an indent.
  int blanks = 0;
  while (blanks < caption.size() && caption[blanks] == u' ')
    ++blanks;
  const int narrower = blanks * 6 - label->fontMetrics().horizontalAdvance(QString(blanks, u' '));
  if (narrower > 0) label->setIndent(narrower);
  label->setGeometry(label_place);
  label->setMouseTracking(true);
  label->installEventFilter(this);
  set_background(label, item_colour);
  connect(label, &ClickLabel::clicked, this, [on_click = std::move(on_click)] {
    if (on_click) on_click();
  });
  items_.push_back(Item{label});
  return label;
}

QLabel* PopupWindow::add_item_picture(int index, const char* name, QRect geometry,
                                      const QPixmap& picture, bool shares_hover) {
  auto* box = place(new QLabel(this), name, geometry);
  box->setAlignment(Qt::AlignCenter);
  box->setPixmap(picture);
  if (index < 0 || index >= item_count()) return box;
  // The mouse goes through the picture to the label below it.
  box->setAttribute(Qt::WA_TransparentForMouseEvents);
  box->raise();
  if (shares_hover) {
    items_[static_cast<std::size_t>(index)].picture = box;
    set_background(box, item_colour);
  }
  return box;
}

ClickLabel* PopupWindow::item_label(int index) const {
  if (index < 0 || index >= item_count()) return nullptr;
  return items_[static_cast<std::size_t>(index)].label;
}

int PopupWindow::highlighted_item() const {
  for (int i = 0; i < item_count(); ++i) {
    if (background_of(items_[static_cast<std::size_t>(i)].label) == hover_colour) return i;
  }
  return -1;
}

void PopupWindow::highlight(int index) {
  for (int i = 0; i < item_count(); ++i) {
    const QColor& colour = i == index ? hover_colour : item_colour;
    const Item& item = items_[static_cast<std::size_t>(i)];
    set_background(item.label, colour);
    if (item.picture) set_background(item.picture, colour);
  }
}

bool PopupWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove) {
    if (watched == shape_) {
      highlight(-1);
    } else {
      for (int i = 0; i < item_count(); ++i) {
        if (watched == items_[static_cast<std::size_t>(i)].label) highlight(i);
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void PopupWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow()) hide();
  QWidget::changeEvent(event);
}

void PopupWindow::resizeEvent(QResizeEvent* event) {
  shape_->setGeometry(rect());
  QWidget::resizeEvent(event);
}

void PopupWindow::show_at(QPoint global_position) {
  move(global_position);
  show();
  raise();
  activateWindow();
  setFocus(Qt::PopupFocusReason);
}

}  // namespace zarvex

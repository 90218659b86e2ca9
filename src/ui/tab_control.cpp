#include "ui/tab_control.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>

namespace zarvex {

TabControl::TabControl(QWidget* parent)
    : QWidget(parent), tabs_(new QTabBar(this)), pages_(new QStackedWidget(this)) {
  tabs_->setDrawBase(false);
  tabs_->setExpanding(false);
  pages_->lower();
  connect(tabs_, &QTabBar::currentChanged, this, [this](int page) { set_current_page(page); });
}

QWidget* TabControl::add_page(const QString& caption) {
  auto* page = new QWidget;
  pages_->addWidget(page);
  tabs_->addTab(caption);
  lay_out();
  return page;
}

void TabControl::set_current_page(int page) {
  if (page < 0 || page >= pages_->count()) return;
  pages_->setCurrentIndex(page);
  if (tabs_->currentIndex() != page) tabs_->setCurrentIndex(page);
}

void TabControl::set_tabs_visible(bool visible) {
  tabs_->setVisible(visible);
  update();
}

void TabControl::lay_out() {
  pages_->setGeometry(rect());
  tabs_->setGeometry(2, 0, std::max(0, width() - 4), tabs_->sizeHint().height());
  update();
}

void TabControl::resizeEvent(QResizeEvent* event) {
  lay_out();
  QWidget::resizeEvent(event);
}

void TabControl::showEvent(QShowEvent* event) {
  lay_out();
  QWidget::showEvent(event);
}

void TabControl::changeEvent(QEvent* event) {
  if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange) lay_out();
  QWidget::changeEvent(event);
}

void TabControl::paintEvent(QPaintEvent*) {
  if (tabs_->isHidden()) return;
  // The pane's frame below the tab row.
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Mid));
  const int top = tabs_->geometry().bottom();
  painter.drawRect(QRect(0, top, width() - 1, height() - top - 1));
}

}  // namespace zarvex

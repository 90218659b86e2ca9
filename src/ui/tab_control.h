#pragma once
// A tab control whose pages span the whole control, so the controls on a page are placed in
// the tab control's own coordinates (the tab row lies above them). The main window's page
// control hides its tab row: the side bar chooses its pages.

#include <QStackedWidget>
#include <QTabBar>
#include <QWidget>

namespace zarvex {

class TabControl : public QWidget {
  Q_OBJECT
 public:
  explicit TabControl(QWidget* parent = nullptr);

  // Adds a page with that tab caption; controls are placed on the returned widget.
  QWidget* add_page(const QString& caption);
  int current_page() const { return pages_->currentIndex(); }
  void set_current_page(int page);
  void set_tabs_visible(bool visible);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // The tab row keeps the height its captions need in the current look.
  void lay_out();

  QTabBar* tabs_;
  QStackedWidget* pages_;
};

}  // namespace zarvex

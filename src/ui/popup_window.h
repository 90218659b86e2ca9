#pragma once
// The song pop-up and the menu window share this: a frameless, always-on-top window shown at
// the mouse, hidden again as soon as it loses activation, with a background shape and a column
// of items that take the hover colour one at a time.

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <vector>

#include "ui/click_label.h"

namespace zarvex {

class PopupWindow : public QWidget {
  Q_OBJECT
 public:
  PopupWindow(int width, int height, QWidget* parent = nullptr);

  // Top-left corner at `global_position`, visible, with the keyboard focus. Nothing keeps it
  // on the screen.
  void show_at(QPoint global_position);

  // The item under the mouse (its index), or -1 when none has the hover colour.
  int highlighted_item() const;
  int item_count() const { return static_cast<int>(items_.size()); }
  ClickLabel* item_label(int index) const;
  QWidget* shape() const { return shape_; }

 protected:
  // An item: its label and, optionally, a picture box that shares its hover colour. A left
  // click on the label (or on the picture, which lets the mouse through) runs `on_click`.
  ClickLabel* add_item(const QString& label_name, QRect label_place, const QString& caption,
                       std::function<void()> on_click);
  // A picture box `name` at `geometry` over item `index`, showing `picture` centred.
  QLabel* add_item_picture(int index, const char* name, QRect geometry, const QPixmap& picture,
                           bool shares_hover);

  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Item {
    ClickLabel* label;
    QWidget* picture = nullptr;  // shares the label's colour when set
  };
  void highlight(int index);

  QFrame* shape_;
  std::vector<Item> items_;
};

}  // namespace zarvex

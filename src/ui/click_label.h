#pragma once
// A label or picture box that reports the left button: pressed, and released inside it (a
// click). The windows' side-bar entries, pop-up items, avatar and link use it.

#include <QLabel>

namespace zarvex {

class ClickLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ClickLabel(QWidget* parent = nullptr);
  ClickLabel(const QString& text, QWidget* parent = nullptr);

 signals:
  void pressed();
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace zarvex

#pragma once
// The main window's status bar: four text parts (service progress, version notice, login
// state, download information) and a left click on the bar.

#include <QFrame>
#include <QLabel>
#include <array>

namespace zarvex {

class StatusBar : public QFrame {
  Q_OBJECT
 public:
  static constexpr int part_count = 4;
  explicit StatusBar(QWidget* parent = nullptr);

  void set_text(int part, const QString& text);
  QString text(int part) const;

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::array<QLabel*, part_count> parts_{};
};

}  // namespace zarvex

#pragma once
// The two objects behind a window's drop shadow: the shadow window, which shows the last
// rendered shadow picture, and the follower, an event filter on the owner that keeps the
// shadow in step with it.

#include <QImage>
#include <QObject>
#include <QWidget>

namespace zarvex {

class ShadowWindow : public QWidget {
  Q_OBJECT
 public:
  explicit ShadowWindow(QWidget* owner);

  void set_pixels(QImage pixels);
  const QImage& pixels() const { return pixels_; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage pixels_;
};

class ShadowFollower : public QObject {
  Q_OBJECT
 public:
  explicit ShadowFollower(QWidget* owner);

  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace zarvex

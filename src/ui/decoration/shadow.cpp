#include "ui/decoration/shadow.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QRegion>
#include <QVariant>

#include <algorithm>

#include "ui/decoration/shadow_window.h"

namespace zarvex {
namespace {

// Guarded pointers: a property never names a window that is gone.
template <class T>
T* object_property(const QObject* object, const char* name) {
  return qobject_cast<T*>(object->property(name).value<QPointer<QObject>>().data());
}

void set_object_property(QObject* object, const char* name, QObject* value) {
  object->setProperty(name, QVariant::fromValue(QPointer<QObject>(value)));
}

ShadowWindow* shadow_of(const QWidget* owner) {
  return owner == nullptr ? nullptr : object_property<ShadowWindow>(owner, shadow_property);
}

// The owner's rectangle on the screen.
QRect screen_rectangle(const QWidget* owner) {
  if (owner->isWindow()) return owner->frameGeometry();
  return QRect(owner->mapToGlobal(QPoint(0, 0)), owner->size());
}

// Four quarter arcs of a 2r × 2r box in the corners, clockwise from the top left, closed.
QPainterPath rounded_rectangle_path(qreal x, qreal y, qreal w, qreal h, int r) {
  QPainterPath path;
  if (r <= 0) {
    path.addRect(x, y, w, h);
    return path;
  }
  const qreal d = 2.0 * std::clamp(r, 1, 100);
  path.setFillRule(Qt::OddEvenFill);
  // Qt counts angles counter-clockwise on the screen: a quarter clockwise sweep is -90.
  path.arcMoveTo(x, y, d, d, 180);
  path.arcTo(x, y, d, d, 180, -90);
  path.arcTo(x + w - d, y, d, d, 90, -90);
  path.arcTo(x + w - d, y + h - d, d, d, 0, -90);
  path.arcTo(x, y + h - d, d, d, -90, -90);
  path.closeSubpath();
  return path;
}

// Repaints the shadow window's pixels at width × height.
void render_shadow(ShadowWindow* shadow, int width, int height) {
  QImage pixels(width, height, QImage::Format_ARGB32_Premultiplied);
  if (pixels.isNull()) return;  // too large to allocate: keep the last picture
  pixels.fill(Qt::transparent);
  paint_shadow(shadow, &pixels, width, height);
  shadow->set_pixels(std::move(pixels));
}

}  // namespace

QWidget* shadow_window_of(const QWidget* owner) {
  return shadow_of(owner);
}

bool attach_shadow(QWidget* window, std::uint32_t colour, std::optional<int> size) {
  if (window == nullptr) return false;

  if (size && *size < 1) {
    if (ShadowWindow* shadow = shadow_of(window)) {
      shadow->setProperty(shadow_colour_property, QVariant());
      shadow->setProperty(shadow_size_property, QVariant());
      delete shadow;
    }
    window->setProperty(shadow_property, QVariant());
    if (auto* follower = object_property<ShadowFollower>(window, shadow_follower_property)) {
      window->removeEventFilter(follower);
      follower->deleteLater();  // it may be on the stack of the owner's event delivery
    }
    window->setProperty(shadow_follower_property, QVariant());
    return false;
  }

  ShadowWindow* shadow = shadow_of(window);
  if (shadow == nullptr) {
    shadow = new ShadowWindow(window);
    set_object_property(window, shadow_property, shadow);
  }
  shadow->setProperty(shadow_colour_property, QVariant::fromValue(colour));
  shadow->setProperty(shadow_size_property, size.value_or(default_shadow_size));
  // The picture no longer matches the properties: the next update paints it afresh.
  shadow->set_pixels({});

  update_shadow(window);

  if (object_property<ShadowFollower>(window, shadow_follower_property) == nullptr) {
    auto* follower = new ShadowFollower(window);
    window->installEventFilter(follower);
    set_object_property(window, shadow_follower_property, follower);
  }
  return true;
}

void update_shadow(QWidget* owner, std::optional<bool> visible) {
  ShadowWindow* shadow = shadow_of(owner);
  if (shadow == nullptr) return;
  if (!visible.value_or(owner->isVisible()) || owner->isMaximized() || owner->isMinimized()) {
    shadow->hide();
    return;
  }
  if (!shadow->isVisible()) shadow->show();

  const QRect rectangle = screen_rectangle(owner);
  if (rectangle.width() == 0 || rectangle.height() == 0) return;
  const int s = shadow->property(shadow_size_property).toInt();
  const int width = rectangle.width() + 2 * s;
  const int height = rectangle.height() + 2 * s;
  shadow->setGeometry(rectangle.left() - s, rectangle.top() - s, width, height);
  // A move leaves the picture and the mask as they are: both follow only the size.
  if (shadow->pixels().size() == QSize(width, height)) return;
  // The owner's rectangle is cut out of the window itself, so the owner shows through and
  // takes its clicks even where no compositor blends translucent windows.
  shadow->setMask(QRegion(0, 0, width, height)
                      .subtracted(QRegion(s, s, rectangle.width(), rectangle.height())));
  render_shadow(shadow, width, height);
}

void paint_shadow(const QObject* shadow_window, QPaintDevice* surface, int width, int height) {
  if (shadow_window == nullptr || surface == nullptr || width <= 0 || height <= 0) return;
  const std::uint32_t colour = shadow_window->property(shadow_colour_property).toUInt();
  const int s = shadow_window->property(shadow_size_property).toInt();
  if (s < 1) return;
  // Colour 0 at sizes 5 and 10 is drawn from two framed pictures that this program does not
  // carry (it never uses them): those shadows stay transparent.
  if (colour == 0 && (s == 5 || s == 10)) return;

  const int step = s < 9 ? 100 / s : 150 / s;
  const int red = colour & 0xFF;
  const int green = (colour >> 8) & 0xFF;
  const int blue = (colour >> 16) & 0xFF;

  QPainter painter(surface);
  // The owner's rectangle stays untouched.
  painter.setClipRegion(
      QRegion(0, 0, width, height).subtracted(QRegion(s, s, width - 2 * s, height - 2 * s)));
  painter.setRenderHint(QPainter::Antialiasing);
  // Lines on whole coordinates run through the middle of a pixel, so each ring is one
  // pixel wide and the rings do not bleed into each other.
  painter.translate(0.5, 0.5);
  painter.setBrush(Qt::NoBrush);
  for (int i = 1; i <= s; ++i) {
    const int ring_width = width - 2 * i + 1;
    const int ring_height = height - 2 * i + 1;
    if (ring_width <= 0 || ring_height <= 0) break;  // the rings have met in the middle
    QPen pen(QColor(red, green, blue, std::min(step * i, 255)));
    pen.setWidth(1);
    painter.setPen(pen);
    painter.drawPath(rounded_rectangle_path(i - 1, i - 1, ring_width, ring_height, 4));
  }
}

}  // namespace zarvex

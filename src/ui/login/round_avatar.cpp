#include "ui/login/round_avatar.h"

#include <QBrush>
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <algorithm>

namespace zarvex {

std::string make_round_avatar(std::string_view image_bytes) {
  QImage source;
  if (image_bytes.empty() ||
      !source.loadFromData(reinterpret_cast<const uchar*>(image_bytes.data()),
                           static_cast<int>(image_bytes.size()))) {
    return {};
  }
  const int side = std::min(source.width(), source.height());
  if (side <= 0) return {};

  QImage round(side, side, QImage::Format_ARGB32);
  round.fill(Qt::transparent);
  {
    QPainter painter(&round);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    // The texture starts at the picture's origin, so a wide or tall image gives its top-left
    // square.
    painter.setBrush(QBrush(source));
    painter.setBrushOrigin(0, 0);
    painter.drawEllipse(QRectF(0, 0, side, side));
  }

  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!round.save(&buffer, "PNG")) return {};
  return std::string(png.constData(), static_cast<std::size_t>(png.size()));
}

}  // namespace zarvex

#include "ui/built_in_picture.h"

#include <png.h>

#include <QFile>
#include <QPixmapCache>
#include <cstring>
#include <mutex>

// The pictures live in a static library, whose resource registration the linker would drop
// unless something calls it.
static void register_pictures() {
  Q_INIT_RESOURCE(pictures);
}

namespace zarvex {

QImage decode_png(const QByteArray& png) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, png.constData(),
                                        static_cast<png_size_t>(png.size()))) {
    return {};
  }
  // BGRA in memory is what QImage's ARGB32 holds on a little-endian machine, and neither is
  // premultiplied.
  image.format = PNG_FORMAT_BGRA;
  QImage out(static_cast<int>(image.width), static_cast<int>(image.height), QImage::Format_ARGB32);
  if (out.isNull()) {
    png_image_free(&image);
    return {};
  }
  if (!png_image_finish_read(&image, nullptr, out.bits(),
                             static_cast<png_int_32>(out.bytesPerLine()), nullptr)) {
    png_image_free(&image);
    return {};
  }
  return out;
}

QPixmap built_in_picture(const QString& name) {
  // The side bar asks for its icons on every click: each picture is decoded once.
  const QString key = QStringLiteral("zarvex.picture.") + name;
  QPixmap picture;
  if (QPixmapCache::find(key, &picture)) return picture;
  static std::once_flag registered;
  std::call_once(registered, register_pictures);
  QFile file(QStringLiteral(":/pictures/") + name + QStringLiteral(".png"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  QImage image = decode_png(file.readAll());
  if (image.isNull()) return {};
  picture = QPixmap::fromImage(image);
  QPixmapCache::insert(key, picture);
  return picture;
}

}  // namespace zarvex

#pragma once
// The program's own pictures (icons, badges, headers, default avatar), carried as PNG data in
// the Qt resources and decoded with libpng.

#include <QByteArray>
#include <QImage>
#include <QPixmap>
#include <QString>

namespace zarvex {

// Decodes PNG bytes into a 32-bit ARGB image; a null image when the bytes are not a PNG.
QImage decode_png(const QByteArray& png);

// The built-in picture `name` (e.g. "badge_hq"); a null pixmap when there is none. GUI thread
// only: decoded pictures are kept in the application's pixmap cache.
QPixmap built_in_picture(const QString& name);

}  // namespace zarvex

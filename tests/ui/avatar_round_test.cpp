// The round avatar: square side, top-left anchoring, transparency outside the circle, PNG.

#include <QBuffer>
#include <QImage>
#include <QtTest>
#include <cmath>

#include "ui/login/round_avatar.h"

using namespace zarvex;

namespace {

// Every pixel differs from its neighbours, so a shifted or scaled texture shows.
QImage pattern(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixel(x, y, qRgb((x * 7) % 256, (y * 5) % 256, (x + y) % 256));
  return image;
}

std::string encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes.toStdString();
}

QImage decoded(const std::string& png) {
  QImage image;
  image.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()),
                     "PNG");
  return image.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

class AvatarRoundTest : public QObject {
  Q_OBJECT

 private slots:
  void square_circle_from_the_top_left_square_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("side");
    QTest::newRow("wide 120x80") << 120 << 80 << 80;
    QTest::newRow("square 100x100") << 100 << 100 << 100;
    QTest::newRow("tall 64x90") << 64 << 90 << 64;
  }

  void square_circle_from_the_top_left_square() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, side);
    const QImage source = pattern(width, height);
    const std::string png = make_round_avatar(encoded(source, "PNG"));
    QVERIFY(png.starts_with("\x89PNG\r\n\x1a\n"));
    const QImage round = decoded(png);
    QCOMPARE(round.size(), QSize(side, side));

    const double r = side / 2.0;
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < side; ++x) {
        const QRgb pixel = round.pixel(x, y);
        const double d = std::hypot(x + 0.5 - r, y + 0.5 - r);
        if (d > r + 1) {
          QVERIFY2(qAlpha(pixel) == 0, qPrintable(QString("outside %1,%2").arg(x).arg(y)));
        } else if (d < r - 1) {
          QVERIFY2(qAlpha(pixel) == 255, qPrintable(QString("inside %1,%2").arg(x).arg(y)));
        }
        // Whatever is drawn is the source's own pixel at the same place.
        if (qAlpha(pixel) == 255) {
          QVERIFY2(pixel == source.pixel(x, y), qPrintable(QString("at %1,%2").arg(x).arg(y)));
        }
      }
    }
    QCOMPARE(round.pixel(side / 2, side / 2), source.pixel(side / 2, side / 2));
    for (QPoint corner :
         {QPoint(0, 0), QPoint(side - 1, 0), QPoint(0, side - 1), QPoint(side - 1, side - 1)})
      QCOMPARE(qAlpha(round.pixel(corner)), 0);
  }

  // The avatar service usually answers with a JPEG picture.
  void jpeg_source() {
    const std::string png = make_round_avatar(encoded(pattern(100, 100), "JPEG"));
    QCOMPARE(decoded(png).size(), QSize(100, 100));
  }

  void no_picture_from_bytes_that_are_no_image_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("html error page") << QByteArray("<html><body>404</body></html>");
    QTest::newRow("cut-off png")
        << QByteArray::fromStdString(encoded(pattern(50, 50), "PNG")).left(40);
  }

  void no_picture_from_bytes_that_are_no_image() {
    QFETCH(QByteArray, bytes);
    QVERIFY(make_round_avatar(bytes.toStdString()).empty());
  }
};

QTEST_MAIN(AvatarRoundTest)
#include "avatar_round_test.moc"

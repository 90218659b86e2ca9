// The built-in pictures decode with libpng to what Qt's own decoder sees, at the sizes the
// windows are laid out for.

#include <QDirIterator>
#include <QFile>
#include <QtTest>

#include "ui/built_in_picture.h"

using namespace zarvex;

class BuiltInPictureTest : public QObject {
  Q_OBJECT

 private slots:
  void libpng_and_qt_agree_on_every_picture() {
    built_in_picture(QStringLiteral("badge_hq"));  // registers the resources
    int pictures = 0;
    for (QDirIterator it(QStringLiteral(":/pictures")); it.hasNext();) {
      const QString path = it.next();
      QFile file(path);
      QVERIFY(file.open(QIODevice::ReadOnly));
      const QByteArray bytes = file.readAll();
      const QImage ours = decode_png(bytes);
      const QImage theirs = QImage::fromData(bytes, "PNG").convertToFormat(QImage::Format_ARGB32);
      QVERIFY2(!ours.isNull(), qPrintable(path));
      QCOMPARE(ours.size(), theirs.size());
      for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x) {
          const QRgb a = ours.pixel(x, y), b = theirs.pixel(x, y);
          // Fully transparent pixels may differ in their unused colour.
          if (qAlpha(a) == 0 && qAlpha(b) == 0) continue;
          if (a != b)
            QFAIL(qPrintable(QStringLiteral("%1 differs at %2,%3").arg(path).arg(x).arg(y)));
        }
      ++pictures;
    }
    QVERIFY(pictures >= 10);
  }

  void pictures_have_their_layout_sizes() {
    struct Case {
      const char* name;
      QSize size;
    };
    const Case cases[] = {{"badge_hq", {25, 13}},          {"badge_sq", {25, 13}},
                          {"side_search_white", {18, 18}}, {"side_local_dark", {18, 18}},
                          {"default_avatar", {100, 100}},  {"support_1", {224, 256}},
                          {"menu_header", {163, 48}},      {"about_header", {440, 64}}};
    for (const auto& c : cases)
      QCOMPARE(built_in_picture(QString::fromUtf8(c.name)).size(), c.size);
    QVERIFY(built_in_picture(QStringLiteral("no_such_picture")).isNull());
  }

  void bytes_that_are_no_png_give_no_picture() {
    QFile file(QStringLiteral(":/pictures/badge_sq.png"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray png = file.readAll();
    for (const QByteArray& broken :
         {QByteArray(), QByteArray("GIF89a"), png.left(40), png.left(png.size() / 2)}) {
      QVERIFY(decode_png(broken).isNull());
    }
  }
};

QTEST_MAIN(BuiltInPictureTest)
#include "built_in_picture_test.moc"

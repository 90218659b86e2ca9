#include <QApplication>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <QtTest>

#include "ui/decoration/shadow.h"
#include "ui/decoration/shadow_window.h"

namespace zarvex {
namespace {

int alpha_at(const QImage& image, int x, int y) {
  return qAlpha(image.pixel(x, y));
}

// Checks a shadow picture of size s: transparent inside, ring i (1 = outermost) of alpha
// step × i on all four sides, rounded outer corners. Returns the first mismatch, or "".
QString check_rings(const QImage& image, int s, int step) {
  const int w = image.width();
  const int h = image.height();
  for (int y = s; y < h - s; ++y) {
    for (int x = s; x < w - s; ++x) {
      if (alpha_at(image, x, y) != 0) return QStringLiteral("inside (%1, %2)").arg(x).arg(y);
    }
  }
  for (int i = 1; i <= s; ++i) {
    const int expected = step * i;
    const QPoint points[] = {{i - 1, h / 2}, {w - i, h / 2}, {w / 2, i - 1}, {w / 2, h - i}};
    for (const QPoint& p : points) {
      if (alpha_at(image, p.x(), p.y()) != expected) {
        return QStringLiteral("ring %1 at (%2, %3): alpha %4, expected %5")
            .arg(i)
            .arg(p.x())
            .arg(p.y())
            .arg(alpha_at(image, p.x(), p.y()))
            .arg(expected);
      }
    }
  }
  const QPoint corners[] = {{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}};
  for (const QPoint& p : corners) {
    if (alpha_at(image, p.x(), p.y()) != 0) {
      return QStringLiteral("corner (%1, %2) is not rounded").arg(p.x()).arg(p.y());
    }
  }
  return {};
}

QWidget* make_owner(QRect geometry) {
  auto* owner = new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint);
  owner->setGeometry(geometry);
  return owner;
}

}  // namespace

class ShadowTest : public QObject {
  Q_OBJECT

 private slots:
  void paints_rings_outside_the_owner_data() {
    QTest::addColumn<uint>("colour");
    QTest::addColumn<int>("size");
    QTest::addColumn<QSize>("surface");
    QTest::addColumn<int>("step");  // 0: nothing drawn
    QTest::newRow("program") << 2u << 5 << QSize(610, 410) << 20;
    QTest::newRow("size 12") << 0x00FF0000u << 12 << QSize(200, 150) << 12;
    QTest::newRow("size 8") << 0x000000FFu << 8 << QSize(100, 100) << 12;
    QTest::newRow("size 9") << 0x0000FF00u << 9 << QSize(100, 90) << 16;
    QTest::newRow("size 1") << 0x00FFFFFFu << 1 << QSize(50, 40) << 100;
    QTest::newRow("colour 0 with the framed pictures") << 0u << 5 << QSize(60, 60) << 0;
    QTest::newRow("colour 0 at other sizes") << 0u << 6 << QSize(60, 60) << 16;
  }
  void paints_rings_outside_the_owner() {
    QFETCH(uint, colour);
    QFETCH(int, size);
    QFETCH(QSize, surface);
    QFETCH(int, step);
    QObject shadow;
    shadow.setProperty(shadow_colour_property, colour);
    shadow.setProperty(shadow_size_property, size);
    QImage image(surface, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    paint_shadow(&shadow, &image, surface.width(), surface.height());

    if (step == 0) {
      QCOMPARE(check_rings(image, size, 0), QString());
      return;
    }
    QCOMPARE(check_rings(image, size, step), QString());
    // The ring next to the owner carries the colour, red in the colour value's low byte.
    const QColor ring = image.pixelColor(size - 1, surface.height() / 2);
    const int tolerance = 255 / (step * size) + 1;
    QVERIFY2(qAbs(ring.red() - int(colour & 0xFF)) <= tolerance, qPrintable(ring.name()));
    QVERIFY2(qAbs(ring.green() - int((colour >> 8) & 0xFF)) <= tolerance, qPrintable(ring.name()));
    QVERIFY2(qAbs(ring.blue() - int((colour >> 16) & 0xFF)) <= tolerance, qPrintable(ring.name()));
  }

  void follows_the_owner() {
    std::unique_ptr<QWidget> owner(make_owner({100, 100, 600, 400}));
    QVERIFY(attach_shadow(owner.get(), 2));
    auto* shadow = qobject_cast<ShadowWindow*>(shadow_window_of(owner.get()));
    QVERIFY(shadow != nullptr);
    QVERIFY(!shadow->isVisible());  // the owner is not shown yet

    owner->show();
    QTRY_VERIFY(shadow->isVisible());
    QTRY_COMPARE(shadow->geometry(), QRect(95, 95, 610, 410));
    QCOMPARE(shadow->pixels().size(), QSize(610, 410));
    QCOMPARE(check_rings(shadow->pixels(), 5, 20), QString());
    // Where the owner lies the shadow window has no pixels at all.
    QVERIFY(shadow->mask().contains(QPoint(0, 0)));
    QVERIFY(shadow->mask().contains(QPoint(609, 409)));
    QVERIFY(!shadow->mask().contains(QPoint(5, 5)));
    QVERIFY(!shadow->mask().contains(QPoint(604, 404)));

    owner->move(300, 200);
    QTRY_COMPARE(shadow->geometry(), QRect(295, 195, 610, 410));
    owner->resize(500, 300);
    QTRY_COMPARE(shadow->geometry(), QRect(295, 195, 510, 310));
    QCOMPARE(shadow->pixels().size(), QSize(510, 310));
    QCOMPARE(check_rings(shadow->pixels(), 5, 20), QString());

    owner->hide();
    QTRY_VERIFY(!shadow->isVisible());
    owner->show();
    QTRY_VERIFY(shadow->isVisible());
    QTRY_COMPARE(shadow->geometry(), QRect(295, 195, 510, 310));
  }

  void hides_while_minimised_or_maximised() {
    std::unique_ptr<QWidget> owner(make_owner({100, 100, 600, 400}));
    owner->show();
    QVERIFY(attach_shadow(owner.get(), 2));
    QWidget* shadow = shadow_window_of(owner.get());
    QTRY_VERIFY(shadow->isVisible());

    owner->showMinimized();
    QTRY_VERIFY(!shadow->isVisible());
    owner->showNormal();
    QTRY_VERIFY(shadow->isVisible());

    owner->showMaximized();
    QTRY_VERIFY(!shadow->isVisible());
    owner->showNormal();
    owner->move(40, 60);
    QTRY_VERIFY(shadow->isVisible());
    QTRY_COMPARE(shadow->geometry(), owner->frameGeometry().adjusted(-5, -5, 5, 5));
  }

  void attaching_again_reuses_the_window_and_the_follower() {
    std::unique_ptr<QWidget> owner(make_owner({100, 100, 600, 400}));
    owner->show();
    QVERIFY(attach_shadow(owner.get(), 2));
    auto* shadow = qobject_cast<ShadowWindow*>(shadow_window_of(owner.get()));
    const QVariant follower = owner->property(shadow_follower_property);
    QVERIFY(follower.isValid());

    QVERIFY(attach_shadow(owner.get(), 0x0000FF00u, 8));
    QCOMPARE(shadow_window_of(owner.get()), shadow);
    QCOMPARE(owner->findChildren<ShadowWindow*>().size(), 1);
    QCOMPARE(owner->findChildren<ShadowFollower*>().size(), 1);
    QCOMPARE(owner->property(shadow_follower_property), follower);
    QCOMPARE(shadow->property(shadow_colour_property).toUInt(), 0x0000FF00u);
    QCOMPARE(shadow->property(shadow_size_property).toInt(), 8);
    QTRY_COMPARE(shadow->geometry(), owner->frameGeometry().adjusted(-8, -8, 8, 8));
    QCOMPARE(check_rings(shadow->pixels(), 8, 12), QString());

    // Without a size the default comes back.
    QVERIFY(attach_shadow(owner.get(), 2));
    QCOMPARE(shadow->property(shadow_size_property).toInt(), default_shadow_size);
    QTRY_COMPARE(shadow->geometry(), owner->frameGeometry().adjusted(-5, -5, 5, 5));
  }

  void size_below_one_removes_the_shadow() {
    const int sizes[] = {0, -3};
    for (int size : sizes) {
      std::unique_ptr<QWidget> owner(make_owner({100, 100, 600, 400}));
      owner->show();
      QVERIFY(attach_shadow(owner.get(), 2));
      QPointer<QWidget> shadow = shadow_window_of(owner.get());
      QVERIFY(!shadow.isNull());

      QVERIFY(!attach_shadow(owner.get(), 2, size));
      QVERIFY(shadow.isNull());
      QVERIFY(shadow_window_of(owner.get()) == nullptr);
      QVERIFY(!owner->property(shadow_property).isValid());
      QVERIFY(!owner->property(shadow_follower_property).isValid());
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      QCOMPARE(owner->findChildren<ShadowFollower*>().size(), 0);
      owner->move(10, 10);  // nothing follows any more, nothing breaks
      QCoreApplication::processEvents();

      // Removing again is harmless, and a new shadow can be attached.
      QVERIFY(!attach_shadow(owner.get(), 2, 0));
      QVERIFY(attach_shadow(owner.get(), 2));
      QTRY_COMPARE(shadow_window_of(owner.get())->geometry(),
                   owner->frameGeometry().adjusted(-5, -5, 5, 5));
      QCOMPARE(owner->findChildren<ShadowFollower*>().size(), 1);
    }
    QVERIFY(!attach_shadow(nullptr, 2));
  }

  void takes_no_input_and_never_the_focus() {
    std::unique_ptr<QWidget> owner(make_owner({100, 100, 600, 400}));
    owner->show();
    owner->activateWindow();
    QVERIFY(attach_shadow(owner.get(), 2));
    QWidget* shadow = shadow_window_of(owner.get());
    QTRY_VERIFY(shadow->isVisible());
    QVERIFY(shadow->isWindow());
    QVERIFY(shadow->windowFlags().testFlag(Qt::WindowTransparentForInput));
    QVERIFY(shadow->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    QVERIFY(shadow->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(shadow->testAttribute(Qt::WA_TransparentForMouseEvents));
    QVERIFY(shadow->testAttribute(Qt::WA_TranslucentBackground));
    QCoreApplication::processEvents();
    QVERIFY(QApplication::activeWindow() != shadow);
    QVERIFY(!shadow->hasFocus());
  }
};

}  // namespace zarvex

QTEST_MAIN(zarvex::ShadowTest)
#include "shadow_test.moc"

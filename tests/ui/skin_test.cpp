#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

#include "decoration/memory_library.h"
#include "ui/decoration/skin.h"

namespace zarvex {
namespace {

QStringList warnings;

// Keeps what Qt says about style sheets (a rule it cannot parse), not the offscreen
// platform's own notes.
void record_message(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtDebugMsg || type == QtInfoMsg) return;
  if (text.contains(QLatin1String("stylesheet"), Qt::CaseInsensitive) ||
      text.contains(QLatin1String("style sheet"), Qt::CaseInsensitive) ||
      text.contains(QLatin1String("parse"), Qt::CaseInsensitive)) {
    warnings << text;
  }
}

// The colour in the middle of a widget as it is drawn.
QColor drawn_colour(QWidget* widget) {
  const QImage image = widget->grab().toImage();
  return image.pixelColor(image.width() / 2, image.height() / 2);
}

}  // namespace

class SkinTest : public QObject {
  Q_OBJECT

 private slots:
  void style_sheet_is_built_in() {
    const QString sheet = skin_style_sheet();
    QVERIFY(!sheet.isEmpty());
    QVERIFY(sheet.contains(QStringLiteral("#31C27C"), Qt::CaseInsensitive));
  }

  // No skin library is carried, so the loader's base is 0: the look is applied all the same.
  void applies_without_a_skin_library() {
    MemoryLibrary library;
    QCOMPARE(library.image_base(), std::uintptr_t{0});
    qApp->setStyleSheet(QString());
    apply_skin(library);
    QCOMPARE(qApp->styleSheet(), skin_style_sheet());
  }

  // Every rule parses, the selectors reach the program's controls by their names, and a
  // control's own colours stay above the program's look.
  void windows_take_the_look_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("own_sheet");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("button in the accent colour")
        << "button"
        << "按钮_搜索" << QString() << QColor(0x31, 0xC2, 0x7C);
    QTest::newRow("status bar by its name") << "frame"
                                            << "状态条1" << QString() << QColor(0xF7, 0xF7, 0xF7);
    QTest::newRow("title area by its name")
        << "label"
        << "图片框_标题栏" << QString() << QColor(0xFF, 0xFF, 0xFF);
    QTest::newRow("highlighted side entry keeps its own colour")
        << "label"
        << "标签_搜索歌曲"
        << "background-color: #31c27c;" << QColor(0x31, 0xC2, 0x7C);
    QTest::newRow("side bar keeps its own colour")
        << "label"
        << "图片框_侧边栏"
        << "background-color: #edf5f6;" << QColor(0xED, 0xF5, 0xF6);
  }
  void windows_take_the_look() {
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(QString, own_sheet);
    QFETCH(QColor, colour);

    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(record_message);
    apply_skin(MemoryLibrary());

    QWidget window;
    window.setObjectName(QStringLiteral("主窗口"));
    auto* layout = new QVBoxLayout(&window);
    QWidget* control = nullptr;
    if (kind == QLatin1String("button")) {
      control = new QPushButton(QStringLiteral(" "), &window);
    } else if (kind == QLatin1String("frame")) {
      control = new QFrame(&window);
      control->setAutoFillBackground(true);
    } else {
      control = new QLabel(&window);
      control->setAutoFillBackground(true);
    }
    control->setObjectName(name);
    if (!own_sheet.isEmpty()) control->setStyleSheet(own_sheet);
    control->setFixedSize(80, 30);
    layout->addWidget(control);
    window.show();
    const QColor drawn = drawn_colour(control);
    qInstallMessageHandler(previous);

    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
    QCOMPARE(drawn.name(), colour.name());
  }
};

}  // namespace zarvex

QTEST_MAIN(zarvex::SkinTest)
#include "skin_test.moc"

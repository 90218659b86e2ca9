// The about window: its text names the version, and its link opens the maker's site only when
// that is a web address.

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "support/recording_ui.h"
#include "ui/about_window.h"

using namespace zarvex;

class AboutWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void link_opens_only_the_web_site() {
    struct Case {
      const char* site;
      const char* opened;  // nullptr: nothing opens
    };
    const Case cases[] = {{"zarvex.org", "https://zarvex.org/"},
                          {"127.0.0.1:8080", "https://127.0.0.1:8080/"},
                          {"evil.org/ --x", nullptr},
                          {"", nullptr}};
    for (const Case& c : cases) {
      test::RecordingUi ui;
      AboutWindow window(c.site, ui);
      QCOMPARE(window.windowTitle(), QStringLiteral("关于软件"));
      QCOMPARE(window.size(), QSize(452, 269));
      QCOMPARE(window.link()->geometry(), QRect(88, 124, 160, 32));
      QTest::mousePress(window.link(), Qt::LeftButton);
      const auto opened = ui.texts_of("open");
      if (c.opened) {
        QCOMPARE(opened, std::vector<std::string>{c.opened});
      } else {
        QVERIFY(opened.empty());
      }
    }
  }

  void text_names_product_version_and_site() {
    test::RecordingUi ui;
    AboutWindow window("zarvex.org", ui);
    const QString text = window.findChild<QLabel*>(QStringLiteral("标签2"))->text();
    for (const char* part : {"Zarvex", "当前版本：1.9.1", "zarvex.org", "特别鸣谢"}) {
      QVERIFY2(text.contains(QString::fromUtf8(part)), part);
    }
    window.show();
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("按钮_确定")), Qt::LeftButton);
    QVERIFY(!window.isVisible());
  }
};

QTEST_MAIN(AboutWindowTest)
#include "about_window_test.moc"

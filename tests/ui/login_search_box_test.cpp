// The search box's invitation to log in, driven by the box's own mouse and focus events.

#include <QFocusEvent>
#include <QLineEdit>
#include <QtTest>

#include "session/session.h"
#include "ui/login/search_placeholder.h"

using namespace zarvex;

class LoginSearchBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void placeholder_follows_clicks_and_focus_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("logged_in");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("expected");
    const QString invite = QStringLiteral("点击头像登录QQ账号后使用哟");
    const QString song = QStringLiteral("晴天");
    QTest::newRow("click empties the invitation") << invite << false << "click"
                                                  << "";
    QTest::newRow("click empties it when logged in") << invite << true << "click"
                                                     << "";
    QTest::newRow("click keeps a keyword") << song << false << "click" << song;
    QTest::newRow("click keeps a longer text") << invite + "x" << false << "click" << invite + "x";
    QTest::newRow("right click keeps the invitation") << invite << false << "right" << invite;
    QTest::newRow("leaving empty while logged out") << "" << false << "leave" << invite;
    QTest::newRow("leaving empty while logged in") << "" << true << "leave"
                                                   << "";
    QTest::newRow("leaving a keyword") << song << false << "leave" << song;
  }

  void placeholder_follows_clicks_and_focus() {
    QFETCH(QString, text);
    QFETCH(bool, logged_in);
    QFETCH(QString, action);
    QFETCH(QString, expected);
    Session session;
    session.set_logged_in(logged_in);
    QLineEdit box;
    box.setText(text);
    watch_search_box(&box, session);
    if (action == "click") {
      QTest::mouseClick(&box, Qt::LeftButton);
    } else if (action == "right") {
      QTest::mouseClick(&box, Qt::RightButton);
    } else {
      QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
      QApplication::sendEvent(&box, &out);
    }
    QCOMPARE(box.text(), expected);
  }

  // The invitation typed in by hand is emptied by the next click as well.
  void typed_invitation_is_emptied_by_a_click() {
    Session session;
    QLineEdit box;
    watch_search_box(&box, session);
    for (QChar c : QStringLiteral("点击头像登录QQ账号后使用哟"))
      QTest::sendKeyEvent(QTest::Click, &box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QCOMPARE(box.text(), QStringLiteral("点击头像登录QQ账号后使用哟"));
    QTest::mouseClick(&box, Qt::LeftButton);
    QCOMPARE(box.text(), QString());
  }
};

QTEST_MAIN(LoginSearchBoxTest)
#include "login_search_box_test.moc"

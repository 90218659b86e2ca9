// The avatar click end to end against the local stand-in: the login window opens on the
// stand-in's login page, the form is filled and sent as a user would, the page returns to the
// site with the completion fragment, the window closes by itself and the session, the avatar
// box and the status bar show the account.

#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineCookieStore>
#include <QtTest>
#include <functional>

#include "net/http.h"
#include "platform/codepage.h"
#include "service/endpoints.h"
#include "session/avatar_address.h"
#include "session/login_address.h"
#include "session/session_keys.h"
#include "support/login_page_driver.h"
#include "support/recording_ui.h"
#include "support/standin_process.h"
#include "ui/built_in_picture.h"
#include "ui/login/login_window.h"
#include "ui/login/sign_in.h"

using namespace zarvex;
using test::close_after_page_loads;
using test::log_in_as;
using test::stored_skey;
using test::wait_for_login_page;
using test::when_login_window_shows;

namespace {

std::string gbk(const char* utf8) {
  return gbk_from_utf8(utf8);
}

QImage image_of(const QLabel& label) {
  return label.pixmap().toImage();
}

QImage picture_from(const std::string& bytes) {
  QImage image;
  image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()));
  return image;
}

}  // namespace

class LoginSignInTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  std::unique_ptr<test::StandinProcess> standin_;
  Endpoints endpoints_;

  // The keys of the login that just completed, against the cookies the stand-in set.
  void expect_keys_of_fresh_login(const Session& session) {
    QTRY_VERIFY_WITH_TIMEOUT(stored_skey().startsWith('@'), 20000);
    const QString skey = stored_skey();
    const SessionRecord record = session.snapshot();
    QCOMPARE(record.g_tk, gtk_hash(skey.toStdString()));
    // The script's view of the cookies: the HttpOnly one stays out.
    QVERIFY(record.cookie.find("skey=" + skey.toStdString()) != std::string::npos);
    QVERIFY(record.cookie.find("p_skey") == std::string::npos);
  }

  void expect_logged_in_as(const Session& session, const QLabel& avatar,
                           const test::RecordingUi& ui, const std::string& uin) {
    const SessionRecord record = session.snapshot();
    QVERIFY(record.logged_in);
    QCOMPARE(record.uin, uin);

    const QImage shown = image_of(avatar).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(shown.size(), QSize(100, 100));
    QCOMPARE(qAlpha(shown.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(shown.pixel(99, 99)), 0);
    const QImage service_picture =
        picture_from(
            fetch_with_headers(avatar_address(endpoints_.avatar, uin), {}, endpoints_.http))
            .convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(shown.pixel(50, 50), service_picture.pixel(50, 50));
    QCOMPARE(ui.status(status_login), gbk("状态：已登录"));
  }

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    standin_ = std::make_unique<test::StandinProcess>(
        std::vector<std::string>{"--write-config", home_.path().toStdString()});
    QVERIFY2(standin_->ok(), standin_->startup_output().c_str());
    endpoints_ = load_endpoints(home_.path().toStdString());
    QCOMPARE(endpoints_.login, standin_->http_base());
    QVERIFY(!endpoints_.http.ca_file.empty());
  }

  void cleanupTestCase() { standin_.reset(); }

  void closing_the_first_attempt_leaves_the_default_avatar() {
    Session session;
    LoginSlots results;
    test::RecordingUi ui;
    QLabel avatar;
    avatar.setObjectName(QStringLiteral("图片框_头像"));
    avatar.setPixmap(QPixmap(8, 8));
    when_login_window_shows(this, close_after_page_loads);
    sign_in(nullptr, session, endpoints_, &avatar, ui, results);

    const SessionRecord record = session.snapshot();
    QVERIFY(!record.logged_in);
    QCOMPARE(record.uin, std::string());
    QCOMPARE(record.g_tk, std::string());
    QCOMPARE(record.cookie, std::string());
    QCOMPARE(ui.status(status_login), gbk("状态：未登录"));
    QVERIFY(ui.texts_of("ask").empty());
    QCOMPARE(image_of(avatar), built_in_picture(QStringLiteral("default_avatar")).toImage());
  }

  void completed_login_fills_the_session_and_shows_the_round_avatar() {
    Session session;
    LoginSlots results;
    test::RecordingUi ui;
    QLabel avatar;
    std::string opened_address;
    when_login_window_shows(this, [&](LoginWindow* window) {
      QCOMPARE(window->windowTitle(), QStringLiteral("请登录QQ"));
      QCOMPARE(window->browser()->objectName(), QStringLiteral("超文本浏览框1"));
      QPointer<LoginWindow> guard(window);
      if (!wait_for_login_page(guard)) return;
      opened_address = guard->browser()->url().toString(QUrl::FullyEncoded).toStdString();
      // The stand-in pads the account to ten digits: "o0001234567".
      log_in_as(guard, QStringLiteral("1234567"));
    });
    sign_in(nullptr, session, endpoints_, &avatar, ui, results);
    QCOMPARE(opened_address, login_address(endpoints_.login, endpoints_.site));
    expect_keys_of_fresh_login(session);
    expect_logged_in_as(session, avatar, ui, "1234567");
    QVERIFY(results.result().ok);
  }

  void relogin_asks_first_and_a_closed_window_keeps_the_account() {
    Session session;
    LoginSlots results;
    test::RecordingUi ui;
    QLabel avatar;
    when_login_window_shows(
        this, [](LoginWindow* window) { log_in_as(window, QStringLiteral("20013579")); });
    sign_in(nullptr, session, endpoints_, &avatar, ui, results);
    expect_keys_of_fresh_login(session);
    expect_logged_in_as(session, avatar, ui, "20013579");
    const SessionRecord first = session.snapshot();

    // No: no window, nothing changes.
    bool window_opened = false;
    QPointer<QTimer> watcher = when_login_window_shows(this, [&](LoginWindow* window) {
      window_opened = true;
      window->close();
    });
    ui.answer(false);
    avatar.setPixmap(QPixmap(8, 8));
    sign_in(nullptr, session, endpoints_, &avatar, ui, results);
    QVERIFY(!window_opened);
    delete watcher.data();
    const auto asks = ui.calls();
    QCOMPARE(asks.back().kind, std::string("ask"));
    QCOMPARE(asks.back().text, gbk("已经登录一个QQ账户了，要重新登录吗？"));
    QCOMPARE(asks.back().caption, gbk("提示"));
    QVERIFY(asks.back().icon == MessageIcon::information);
    QCOMPARE(avatar.pixmap().size(), QSize(8, 8));
    QCOMPARE(session.snapshot().cookie, first.cookie);

    // Yes, then the window is closed without logging in: the earlier login still counts.
    ui.answer(true);
    when_login_window_shows(this, close_after_page_loads);
    sign_in(nullptr, session, endpoints_, &avatar, ui, results);
    const SessionRecord after = session.snapshot();
    QVERIFY(after.logged_in);
    QCOMPARE(after.uin, first.uin);
    QCOMPARE(after.g_tk, first.g_tk);
    QCOMPARE(after.cookie, first.cookie);
    expect_logged_in_as(session, avatar, ui, "20013579");
  }
};

QTEST_MAIN(LoginSignInTest)
#include "login_sign_in_test.moc"

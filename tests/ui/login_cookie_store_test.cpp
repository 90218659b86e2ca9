// The login window's cookie store: what a host's cookies read as, HttpOnly ones included, and
// clearing them by name, with and without the domain.

#include <QNetworkCookie>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QtTest>

#include "ui/login/login_profile.h"

using namespace zarvex;

namespace {

// The pairs of a cookie text, sorted.
QStringList pairs_of(const std::string& text) {
  QStringList pairs;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    if (end > start)
      pairs.append(QString::fromStdString(text.substr(start, end - start)).trimmed());
    start = end + 1;
  }
  pairs.sort();
  return pairs;
}

struct Planted {
  const char* name;
  const char* value;
  const char* domain;  // "" for a cookie of the origin's host alone
  const char* path;
  bool http_only;
  bool secure;
  const char* origin;
};

// Two login hosts under one registrable domain, and an unrelated host.
const Planted planted[] = {
    {"uin", "o0012345", "", "/", false, false, "http://ui.login.test/"},
    {"skey", "@abcdefghi", "", "/", false, false, "http://ui.login.test/"},
    {"p_skey", "secret", "", "/", true, false, "http://ui.login.test/"},
    {"tls_only", "1", "", "/", false, true, "https://ui.login.test/"},
    {"deep", "1", "", "/cgi-bin", false, false, "http://ui.login.test/"},
    {"pt2gguin", "o1", ".login.test", "/", false, false, "http://ui.login.test/"},
    {"pgv_pvid", "77", "", "/", false, false, "http://other.test/"},
};

}  // namespace

class LoginCookieStoreTest : public QObject {
  Q_OBJECT

 private:
  LoginProfile* profile_ = nullptr;
  QWebEnginePage* page_ = nullptr;

 private slots:
  void init() {
    profile_ = new LoginProfile(this);
    // The store starts working once a page of the profile exists.
    page_ = new QWebEnginePage(profile_->profile());
    page_->setUrl(QUrl(QStringLiteral("about:blank")));
    for (const Planted& p : planted) {
      QNetworkCookie cookie(p.name, p.value);
      if (*p.domain != '\0') cookie.setDomain(QString::fromLatin1(p.domain));
      cookie.setPath(QString::fromLatin1(p.path));
      cookie.setHttpOnly(p.http_only);
      cookie.setSecure(p.secure);
      profile_->profile()->cookieStore()->setCookie(cookie, QUrl(QString::fromLatin1(p.origin)));
    }
    QTRY_COMPARE_WITH_TIMEOUT(profile_->cookies().size(), qsizetype(std::size(planted)), 20000);
  }

  void cleanup() {
    delete page_;
    page_ = nullptr;
    delete profile_;
    profile_ = nullptr;
  }

  void reading_a_host_data() {
    QTest::addColumn<QString>("host");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("login ui host")
        << "ui.login.test"
        << QStringList{"uin=o0012345", "skey=@abcdefghi", "p_skey=secret", "pt2gguin=o1"};
    QTest::newRow("upper case host")
        << "UI.Login.Test"
        << QStringList{"uin=o0012345", "skey=@abcdefghi", "p_skey=secret", "pt2gguin=o1"};
    QTest::newRow("parent host sees the domain cookie only")
        << "login.test" << QStringList{"pt2gguin=o1"};
    QTest::newRow("sibling host") << "qzone.login.test" << QStringList{"pt2gguin=o1"};
    QTest::newRow("unrelated host") << "other.test" << QStringList{"pgv_pvid=77"};
    QTest::newRow("a host that only ends alike") << "xlogin.test" << QStringList{};
  }

  void reading_a_host() {
    QFETCH(QString, host);
    QFETCH(QStringList, expected);
    expected.sort();
    QCOMPARE(pairs_of(profile_->read_store_cookies(host.toStdString())), expected);
  }

  void clearing_a_host_removes_what_it_reads_and_nothing_else() {
    profile_->clear_login_cookies("ui.login.test");
    QTRY_VERIFY_WITH_TIMEOUT(profile_->read_store_cookies("ui.login.test").empty(), 20000);
    // The domain cookie went with the host's names; cookies no request to the host's root
    // carries, and other hosts' cookies, stay.
    QCOMPARE(profile_->read_store_cookies("login.test"), std::string());
    QCOMPARE(profile_->read_store_cookies("other.test"), std::string("pgv_pvid=77"));
    QStringList left;
    for (const QNetworkCookie& cookie : profile_->cookies())
      left.append(QString::fromLatin1(cookie.name()));
    left.sort();
    QCOMPARE(left, (QStringList{"deep", "pgv_pvid", "tls_only"}));
  }
};

QTEST_MAIN(LoginCookieStoreTest)
#include "login_cookie_store_test.moc"

// The login window's browser trusts a site signed by the settings' extra authority, and only
// such a site, and only for the names its certificate was made for.

#include <QFileInfo>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTemporaryDir>
#include <QtTest>

#include "support/standin_process.h"
#include "ui/login/extra_authorities.h"

using namespace zarvex;

class LoginCertificateTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::StandinProcess> standin_;
  std::unique_ptr<test::StandinProcess> other_;  // a second authority of its own
  QString ca_file_;
  QString other_ca_file_;
  QList<QSslCertificate> site_chain_;

 private slots:
  void initTestCase() {
    standin_ = std::make_unique<test::StandinProcess>();
    other_ = std::make_unique<test::StandinProcess>();
    QVERIFY(standin_->ok());
    QVERIFY(other_->ok());
    ca_file_ = QString::fromStdString(standin_->ca_file());
    other_ca_file_ = QString::fromStdString(other_->ca_file());
    site_chain_ = QSslCertificate::fromPath(QFileInfo(ca_file_).dir().filePath("server.pem"));
    QVERIFY(!site_chain_.isEmpty());
  }

  void cleanupTestCase() {
    standin_.reset();
    other_.reset();
  }

  void trust_data() {
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("authority");  // 0 none, 1 the site's own, 2 another
    QTest::addColumn<bool>("chain");
    QTest::addColumn<bool>("trusted");
    QTest::newRow("site's authority, its address") << "127.0.0.1" << 1 << true << true;
    QTest::newRow("site's authority, its name") << "localhost" << 1 << true << true;
    QTest::newRow("site's authority, another name") << "y.qq.com" << 1 << true << false;
    QTest::newRow("another authority") << "127.0.0.1" << 2 << true << false;
    QTest::newRow("no extra authority") << "127.0.0.1" << 0 << true << false;
    QTest::newRow("no chain") << "127.0.0.1" << 1 << false << false;
  }

  void trust() {
    QFETCH(QString, host);
    QFETCH(int, authority);
    QFETCH(bool, chain);
    QFETCH(bool, trusted);
    const QString file = authority == 1 ? ca_file_ : authority == 2 ? other_ca_file_ : QString();
    const auto authorities_before = QSslConfiguration::defaultConfiguration().caCertificates();
    QCOMPARE(
        trusted_with_extra_authorities(chain ? site_chain_ : QList<QSslCertificate>{}, host, file),
        trusted);
    // The process's own trust is what it was.
    QCOMPARE(QSslConfiguration::defaultConfiguration().caCertificates(), authorities_before);
  }
};

QTEST_MAIN(LoginCertificateTest)
#include "login_certificate_test.moc"

#include "ui/login/login_window.h"

#include <QPointer>
#include <QUrl>
#include <QVariant>
#include <QWebEnginePage>

#include "service/text_codecs.h"
#include "session/login_address.h"
#include "ui/gbk_text.h"
#include "ui/login/extra_authorities.h"
#include "ui/place.h"

namespace zarvex {

namespace {

// The comma-separated host names of the cookie_hosts setting, trimmed.
std::vector<std::string> split_hosts(const std::string& list) {
  std::vector<std::string> hosts;
  for (const std::string& piece : gbk_split(list, ",")) {
    std::string host = trim(piece);
    if (!host.empty()) hosts.push_back(std::move(host));
  }
  return hosts;
}

}  // namespace

LoginWindow::LoginWindow(const Endpoints& endpoints, LoginSlots& results, LoginProfile& profile,
                         QWidget* parent)
    : QDialog(parent), results_(results), ca_file_(QString::fromStdString(endpoints.http.ca_file)) {
  setWindowTitle(QStringLiteral("请登录QQ"));
  setFixedSize(466, 413);

  browser_ = place(new QWebEngineView(this), "超文本浏览框1", {8, 16, 448, 360});
  auto* page = new QWebEnginePage(profile.profile(), browser_);
  browser_->setPage(page);
  page->setUrl(QUrl(QStringLiteral("about:blank")));

  connect(browser_, &QWebEngineView::titleChanged, this, &LoginWindow::page_changed);
  connect(browser_, &QWebEngineView::urlChanged, this, &LoginWindow::page_changed);
  connect(page, &QWebEnginePage::certificateError, this, &LoginWindow::certificate_error);

  for (const std::string& host : split_hosts(endpoints.cookie_hosts))
    profile.clear_login_cookies(host);
  page->load(
      QUrl::fromEncoded(QByteArray::fromStdString(login_address(endpoints.login, endpoints.site))));
}

LoginWindow::~LoginWindow() = default;

void LoginWindow::page_changed() {
  const std::string address = browser_->url().toString(QUrl::FullyEncoded).toStdString();
  if (!results_.begin_completion(address)) return;
  // The script's view of the cookies leaves out the HttpOnly ones, as the service expects.
  QPointer<LoginWindow> self(this);
  browser_->page()->runJavaScript(QStringLiteral("document.cookie"), [self](const QVariant& value) {
    if (self.isNull()) return;
    const QString text = value.typeId() == QMetaType::QString ? value.toString() : QString();
    self->results_.finish_completion(gbk_from_qt(text));
    self->accept();
  });
}

void LoginWindow::certificate_error(const QWebEngineCertificateError& error) {
  QWebEngineCertificateError answer = error;
  if (answer.isOverridable() &&
      trusted_with_extra_authorities(answer.certificateChain(), answer.url().host(), ca_file_)) {
    answer.acceptCertificate();
  } else {
    answer.rejectCertificate();
  }
}

LoginResult run_login(QWidget* parent, const Endpoints& endpoints, LoginSlots& results) {
  {
    LoginWindow window(endpoints, results, login_profile(), parent);
    window.exec();
    // Closed while the cookie text was still being read: this attempt did not complete.
    if (results.busy()) results.abandon_completion();
  }
  return results.result();
}

LoginSlots& process_login_slots() {
  static LoginSlots results;
  return results;
}

}  // namespace zarvex

#include "ui/login/login_profile.h"

#include <QCoreApplication>
#include <QPointer>
#include <QUrl>
#include <QWebEngineCookieStore>

#include "net/cookies.h"
#include "session/login_cookies.h"

namespace zarvex {

namespace {

bool same_cookie(const QNetworkCookie& a, const QNetworkCookie& b) {
  return a.name() == b.name() && a.domain().compare(b.domain(), Qt::CaseInsensitive) == 0 &&
         a.path() == b.path();
}

// Whether a request to "http://host/" carries the cookie: its domain is the host (a host
// cookie) or a parent of it (".domain"), its path is the root, and it is not for secure
// requests only.
bool sent_to_root_of(const QNetworkCookie& cookie, const QString& host) {
  if (cookie.isSecure()) return false;
  if (!cookie.path().isEmpty() && cookie.path() != QLatin1String("/")) return false;
  const QString domain = cookie.domain().toLower();
  if (domain.startsWith(QLatin1Char('.'))) {
    return host == domain.mid(1) || host.endsWith(domain);
  }
  return host == domain;
}

std::string join_pairs(const QList<QNetworkCookie>& cookies, bool with_http_only) {
  std::string text;
  for (const auto& cookie : cookies) {
    if (cookie.isHttpOnly() && !with_http_only) continue;
    if (!text.empty()) text += "; ";
    text += cookie.name().toStdString() + "=" + cookie.value().toStdString();
  }
  return text;
}

}  // namespace

LoginProfile::LoginProfile(QObject* parent) : QObject(parent) {
  // A profile without a storage name keeps its cookies in memory for this process only.
  profile_ = new QWebEngineProfile(this);
  QWebEngineCookieStore* store = profile_->cookieStore();
  connect(store, &QWebEngineCookieStore::cookieAdded, this, &LoginProfile::on_added);
  connect(store, &QWebEngineCookieStore::cookieRemoved, this, &LoginProfile::on_removed);
  store->loadAllCookies();
}

LoginProfile::~LoginProfile() = default;

void LoginProfile::on_added(const QNetworkCookie& cookie) {
  bool replaced = false;
  for (auto& known : cookies_) {
    if (same_cookie(known, cookie)) {
      known = cookie;
      replaced = true;
      break;
    }
  }
  if (!replaced) cookies_.append(cookie);
  emit cookie_added(cookie);
}

void LoginProfile::on_removed(const QNetworkCookie& cookie) {
  cookies_.removeIf([&](const QNetworkCookie& known) { return same_cookie(known, cookie); });
  emit cookie_removed(cookie);
}

std::string LoginProfile::read_store_cookies(std::string_view host) const {
  const QString wanted =
      QString::fromLatin1(host.data(), static_cast<qsizetype>(host.size())).toLower();
  QList<QNetworkCookie> matching;
  for (const auto& cookie : cookies_)
    if (sent_to_root_of(cookie, wanted)) matching.append(cookie);
  std::string plain = join_pairs(matching, false);
  std::string full = join_pairs(matching, true);
  return merge_cookies(plain, full);
}

void LoginProfile::clear_login_cookies(std::string_view host) {
  const QUrl origin(QStringLiteral("http://") +
                    QString::fromLatin1(host.data(), static_cast<qsizetype>(host.size())) +
                    QStringLiteral("/"));
  QWebEngineCookieStore* store = profile_->cookieStore();
  for (const std::string& name : cookie_names(read_store_cookies(host))) {
    for (const std::string& line : cookie_deletion_lines(name, host)) {
      for (const QNetworkCookie& cookie :
           QNetworkCookie::parseCookies(QByteArray::fromStdString(line))) {
        store->deleteCookie(cookie, origin);
      }
    }
  }
}

LoginProfile& login_profile() {
  static QPointer<LoginProfile> shared;
  if (shared.isNull()) shared = new LoginProfile(QCoreApplication::instance());
  return *shared;
}

}  // namespace zarvex

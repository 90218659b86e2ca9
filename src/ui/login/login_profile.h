#pragma once
// The login window's own browser profile and its cookie store. The store is the browser's;
// this keeps a copy of what it holds (it tells about every cookie it adds or removes), so the
// cookies of a host can be read at once, HttpOnly ones included, and cleared by name.
// GUI thread only.

#include <QList>
#include <QNetworkCookie>
#include <QObject>
#include <QWebEngineProfile>
#include <string>
#include <string_view>

namespace zarvex {

class LoginProfile : public QObject {
  Q_OBJECT
 public:
  explicit LoginProfile(QObject* parent = nullptr);
  ~LoginProfile() override;

  QWebEngineProfile* profile() const { return profile_; }

  // Every cookie of the store that a request to "http://" + host + "/" would carry, HttpOnly
  // ones included, as "name=value;name=value" (GBK).
  std::string read_store_cookies(std::string_view host) const;
  // Deletes every cookie read_store_cookies finds for the host, by name: once as a cookie of the
  // host itself and once with the host's registrable domain. The store deletes in the
  // background; cookie_removed tells when a cookie is gone.
  void clear_login_cookies(std::string_view host);

  // What the store holds at present (as last reported by it).
  const QList<QNetworkCookie>& cookies() const { return cookies_; }

 signals:
  void cookie_added(const QNetworkCookie& cookie);
  void cookie_removed(const QNetworkCookie& cookie);

 private:
  void on_added(const QNetworkCookie& cookie);
  void on_removed(const QNetworkCookie& cookie);

  QWebEngineProfile* profile_ = nullptr;
  QList<QNetworkCookie> cookies_;
};

// The profile every login window of this process uses. Created on first use; it lives until
// the application object goes.
LoginProfile& login_profile();

}  // namespace zarvex

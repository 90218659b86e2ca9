#pragma once
// The login window "请登录QQ": the account service's own login page in a browser. The program
// never sees the password; once the page has returned to the music site's address with the
// completion fragment, the window reads the cookie text the page's script sees, derives the
// account number and g_tk from it and closes itself.

#include <QDialog>
#include <QWebEngineCertificateError>
#include <QWebEngineView>

#include "service/endpoints.h"
#include "session/login_slots.h"
#include "ui/login/login_profile.h"

namespace zarvex {

class LoginWindow : public QDialog {
  Q_OBJECT
 public:
  // Clears the login service's old cookies and opens the login page. `results` receives the
  // result and must outlive the window.
  LoginWindow(const Endpoints& endpoints, LoginSlots& results, LoginProfile& profile,
              QWidget* parent = nullptr);
  ~LoginWindow() override;

  QWebEngineView* browser() const { return browser_; }

 private:
  void page_changed();
  void certificate_error(const QWebEngineCertificateError& error);

  LoginSlots& results_;
  QString ca_file_;
  QWebEngineView* browser_ = nullptr;
};

// Shows the login window as a modal window and waits until it is closed; then returns copies of
// the slots, whether or not this attempt completed (the last completed login's values, or
// empty texts and false when none ever completed).
LoginResult run_login(QWidget* parent, const Endpoints& endpoints, LoginSlots& results);

// The slots every login of this process shares.
LoginSlots& process_login_slots();

}  // namespace zarvex

// Drives the login window of the desktop program from a Qt test: waits for it to show, waits
// for the stand-in's login page, and fills in the page's form as a user would.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWebEngineView>
#include <QtTest>
#include <functional>
#include <memory>

#include "ui/login/login_profile.h"
#include "ui/login/login_window.h"

namespace zarvex::test {

inline const QString login_title = QStringLiteral("QQ帐号登录");

// The login window once it is shown; polled on the event loop that its modal run spins, for a
// bounded time.
inline QPointer<QTimer> when_login_window_shows(QObject* owner,
                                                std::function<void(LoginWindow*)> action) {
  auto* timer = new QTimer(owner);
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, owner, [timer, tries, action] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* window = qobject_cast<LoginWindow*>(widget);
      if (window != nullptr && window->isVisible()) {
        timer->stop();
        timer->deleteLater();
        // Whatever happens, the window does not stay open for ever.
        QTimer::singleShot(120000, window, [window] { window->reject(); });
        action(window);
        return;
      }
    }
    if (++*tries > 1200) {
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start(50);
  return timer;
}

inline bool wait_for_login_page(QPointer<LoginWindow> window) {
  return QTest::qWaitFor(
             [&] {
               return window.isNull() || (window->browser()->title() == login_title &&
                                          !window->browser()->page()->isLoading());
             },
             60000) &&
         !window.isNull();
}

// Types an account number and a password into the page's form and presses its button.
inline void log_in_as(LoginWindow* window, const QString& account) {
  QPointer<LoginWindow> guard(window);
  if (!wait_for_login_page(guard)) return;
  guard->browser()->page()->runJavaScript(
      QStringLiteral("document.getElementById('u').value = '%1';"
                     "document.getElementById('p').value = 'any password';"
                     "document.getElementById('login_button').click();")
          .arg(account));
}

inline void close_after_page_loads(LoginWindow* window) {
  QPointer<LoginWindow> guard(window);
  wait_for_login_page(guard);
  if (!guard.isNull()) guard->close();
}

// The skey cookie the stand-in set in the login window's store.
inline QString stored_skey() {
  for (const QNetworkCookie& cookie : login_profile().cookies())
    if (cookie.name() == "skey") return QString::fromLatin1(cookie.value());
  return {};
}

}  // namespace zarvex::test

#pragma once
// The avatar box is the login button. A click runs the login window, stores the account in the
// session, and shows either the account's round picture and "状态：已登录", or the built-in
// default avatar and "状态：未登录".

#include <QLabel>
#include <QWidget>

#include "platform/ui_port.h"
#include "service/endpoints.h"
#include "session/login_slots.h"
#include "session/session.h"

namespace zarvex {

// The click on the avatar box `avatar_box` (图片框_头像). When a login completed earlier, the
// user is asked first whether to log in again; No changes nothing. Runs on the GUI thread and
// returns when the login window has closed and the picture is shown.
void sign_in(QWidget* parent, Session& session, const Endpoints& endpoints, QLabel* avatar_box,
             Ui& ui);

// The same with the login result slots given (the one above uses the process's own).
void sign_in(QWidget* parent, Session& session, const Endpoints& endpoints, QLabel* avatar_box,
             Ui& ui, LoginSlots& results);

}  // namespace zarvex

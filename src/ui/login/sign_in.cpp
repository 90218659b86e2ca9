#include "ui/login/sign_in.h"

#include <QByteArray>
#include <QPixmap>
#include <string>

#include "platform/codepage.h"
#include "ui/built_in_picture.h"
#include "ui/login/avatar_fetch.h"
#include "ui/login/login_window.h"
#include "ui/login/round_avatar.h"

namespace zarvex {

namespace {

struct SignInTexts {
  std::string relogin_question = gbk_from_utf8("已经登录一个QQ账户了，要重新登录吗？");
  std::string relogin_caption = gbk_from_utf8("提示");
  std::string logged_in = gbk_from_utf8("状态：已登录");
  std::string logged_out = gbk_from_utf8("状态：未登录");
};

const SignInTexts& texts() {
  static const SignInTexts t;
  return t;
}

}  // namespace

void sign_in(QWidget* parent, Session& session, const Endpoints& endpoints, QLabel* avatar_box,
             Ui& ui) {
  sign_in(parent, session, endpoints, avatar_box, ui, process_login_slots());
}

void sign_in(QWidget* parent, Session& session, const Endpoints& endpoints, QLabel* avatar_box,
             Ui& ui, LoginSlots& results) {
  if (session.logged_in() &&
      !ui.ask_yes_no(texts().relogin_question, texts().relogin_caption, MessageIcon::information)) {
    return;
  }
  const LoginResult result = run_login(parent, endpoints, results);
  session.store(result.uin, result.cookie, result.g_tk);

  if (result.ok) {
    const std::string picture = make_round_avatar(fetch_avatar(session.snapshot(), endpoints));
    // A failed fetch leaves the box without a picture; the login itself still counts.
    if (picture.empty()) {
      avatar_box->clear();
    } else {
      avatar_box->setPixmap(QPixmap::fromImage(decode_png(QByteArray::fromStdString(picture))));
    }
    session.set_logged_in(true);
    ui.set_status_text(status_login, texts().logged_in);
  } else {
    avatar_box->setPixmap(built_in_picture(QStringLiteral("default_avatar")));
    session.set_logged_in(false);
    ui.set_status_text(status_login, texts().logged_out);
  }
}

}  // namespace zarvex

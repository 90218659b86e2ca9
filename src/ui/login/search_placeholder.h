#pragma once
// The search box's invitation to log in: shown while the box is empty and nobody is logged in,
// taken away when the user clicks into the box.

#include <QLineEdit>

#include "session/session.h"

namespace zarvex {

// "点击头像登录QQ账号后使用哟", also the box's initial text.
QString search_placeholder_text();

// The box lost the focus: an empty box gets the invitation back unless a login completed.
void search_box_focus_lost(QLineEdit* box, bool logged_in);
// A left-button release on the box: the invitation, and only it, is emptied.
void search_box_clicked(QLineEdit* box);

// Calls the two handlers above from the box's own events for as long as the box lives;
// `session` must outlive the box.
void watch_search_box(QLineEdit* box, const Session& session);

}  // namespace zarvex

#include "ui/login/search_placeholder.h"

#include <QEvent>
#include <QMouseEvent>
#include <QObject>

namespace zarvex {

namespace {

class SearchBoxWatcher : public QObject {
 public:
  SearchBoxWatcher(QLineEdit* box, const Session& session) : QObject(box), session_(session) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box == nullptr) return false;
    if (event->type() == QEvent::FocusOut) {
      search_box_focus_lost(box, session_.logged_in());
    } else if (event->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
      search_box_clicked(box);
    }
    return false;
  }

 private:
  const Session& session_;
};

}  // namespace

QString search_placeholder_text() {
  return QStringLiteral("点击头像登录QQ账号后使用哟");
}

void search_box_focus_lost(QLineEdit* box, bool logged_in) {
  if (box->text().isEmpty() && !logged_in) box->setText(search_placeholder_text());
}

void search_box_clicked(QLineEdit* box) {
  if (box->text() == search_placeholder_text()) box->clear();
}

void watch_search_box(QLineEdit* box, const Session& session) {
  box->installEventFilter(new SearchBoxWatcher(box, session));
}

}  // namespace zarvex

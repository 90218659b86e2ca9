#include "ui/qt_ui.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMetaObject>
#include <QThread>
#include <QUrl>
#include <memory>

#include "ui/gbk_text.h"
#include "update/update_notice.h"

namespace zarvex {
namespace {

QMessageBox::Icon box_icon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::information:
      return QMessageBox::Information;
    case MessageIcon::warning:
      return QMessageBox::Warning;
    case MessageIcon::error:
      return QMessageBox::Critical;
    case MessageIcon::question:
      return QMessageBox::Question;
    case MessageIcon::none:
      break;
  }
  return QMessageBox::NoIcon;
}

QtUi::Box make_box(std::string_view text, std::string_view caption, MessageIcon icon,
                   bool question) {
  QtUi::Box box;
  box.text = qt_from_gbk(text);
  box.caption = caption.empty() ? QStringLiteral("信息：") : qt_from_gbk(caption);
  box.icon = icon;
  box.question = question;
  return box;
}

bool valid_utf8(std::string_view text) {
  QString decoded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  return decoded.toUtf8() == QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString control_object_name(std::string_view name) {
  if (valid_utf8(name)) return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  return qt_from_gbk(name);
}

QtUi::QtUi(QObject* parent) : QObject(parent) {}

QtUi::~QtUi() {
  close();
}

void QtUi::close() {
  std::lock_guard lock(question_mutex_);
  closing_ = true;
  question_answered_.notify_all();
}

bool QtUi::on_gui_thread() const {
  return QThread::currentThread() == thread();
}

void QtUi::post(std::function<void()> action) {
  QMetaObject::invokeMethod(this, std::move(action), Qt::QueuedConnection);
}

void QtUi::on_gui(std::function<void()> action) {
  if (on_gui_thread()) {
    action();
  } else {
    post(std::move(action));
  }
}

void QtUi::attach(QWidget* root) {
  root_ = root;
  // The progress tick sets a status text every second: the bar is not searched for each time.
  status_bar_ = root ? root->findChild<StatusBar*>(QStringLiteral("状态条1")) : nullptr;
  watch_inputs(root);
}

void QtUi::set_box_handler(BoxHandler handler) {
  box_handler_ = std::move(handler);
}
void QtUi::set_open_handler(OpenHandler handler) {
  open_handler_ = std::move(handler);
}

void QtUi::watch_inputs(QWidget* root) {
  if (!root) return;
  auto remember = [this](const QString& name, const QString& text) {
    std::lock_guard lock(text_mutex_);
    input_texts_[name] = gbk_from_qt(text);
  };
  for (auto* edit : root->findChildren<QLineEdit*>()) {
    const QString name = edit->objectName();
    if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
    remember(name, edit->text());
    connect(edit, &QLineEdit::textChanged, this,
            [remember, name](const QString& text) { remember(name, text); });
  }
  for (auto* combo : root->findChildren<QComboBox*>()) {
    const QString name = combo->objectName();
    if (name.isEmpty()) continue;
    remember(name, combo->currentText());
    connect(combo, &QComboBox::currentTextChanged, this,
            [remember, name](const QString& text) { remember(name, text); });
  }
}

QWidget* QtUi::find_control(const std::string& name) const {
  if (!root_) return nullptr;
  const QString object_name = control_object_name(name);
  if (root_->objectName() == object_name) return root_;
  return root_->findChild<QWidget*>(object_name);
}

bool QtUi::show_box(const Box& box) {
  if (box_handler_) return box_handler_(box);
  QMessageBox dialog(box_icon(box.icon), box.caption, box.text,
                     box.question ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
                     root_ ? root_->window() : nullptr);
  return dialog.exec() == QMessageBox::Yes;
}

void QtUi::set_status_text(int part, std::string_view text) {
  on_gui([this, part, qtext = qt_from_gbk(text)] {
    if (status_bar_) status_bar_->set_text(part, qtext);
  });
}

void QtUi::message(std::string_view text, std::string_view caption, MessageIcon icon) {
  on_gui([this, box = make_box(text, caption, icon, false)] { show_box(box); });
}

bool QtUi::ask_yes_no(std::string_view text, std::string_view caption, MessageIcon icon) {
  Box box = make_box(text, caption, icon, true);
  if (on_gui_thread()) return show_box(box);
  {
    std::lock_guard lock(question_mutex_);
    if (closing_) return false;
  }
  // The worker waits for the GUI thread's answer (or for the program to close).
  struct Answer {
    bool ready = false;
    bool yes = false;
  };
  auto answer = std::make_shared<Answer>();
  post([this, box, answer] {
    const bool yes = show_box(box);
    std::lock_guard lock(question_mutex_);
    answer->yes = yes;
    answer->ready = true;
    question_answered_.notify_all();
  });
  std::unique_lock lock(question_mutex_);
  question_answered_.wait(lock, [&] { return answer->ready || closing_; });
  return answer->ready && answer->yes;
}

void QtUi::set_clipboard(std::string_view text) {
  on_gui([qtext = qt_from_gbk(text)] {
    if (auto* clipboard = QGuiApplication::clipboard()) clipboard->setText(qtext);
  });
}

void QtUi::open_url(std::string_view address) {
  // Only web addresses and existing folders go to the desktop: anything else could start a
  // program or open a file the user never chose.
  QString target;
  if (is_web_address(address)) {
    target = qt_from_gbk(address);
  } else {
    const QString folder = qt_from_gbk(address);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return;
    target = QUrl::fromLocalFile(QFileInfo(folder).absoluteFilePath()).toString();
  }
  on_gui([this, target] {
    if (open_handler_) {
      open_handler_(target);
    } else {
      QDesktopServices::openUrl(QUrl(target));
    }
  });
}

void QtUi::set_enabled(std::string_view control_name, bool enabled) {
  on_gui([this, name = std::string(control_name), enabled] {
    if (auto* control = find_control(name)) control->setEnabled(enabled);
  });
}

std::string QtUi::read_text(std::string_view control_name) {
  const QString name = control_object_name(control_name);
  std::lock_guard lock(text_mutex_);
  auto it = input_texts_.find(name);
  return it == input_texts_.end() ? std::string() : it->second;
}

}  // namespace zarvex

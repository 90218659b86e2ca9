#include "ui/settings_window.h"

#include <QCursor>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>

#include "platform/codepage.h"
#include "ui/gbk_text.h"
#include "ui/place.h"

namespace zarvex {
namespace {

struct Rule {
  const char* name;
  QRect place;
  const char* caption;
};

const Rule rules[] = {
    {"单选框_命名_1", {8, 21, 56, 24}, "歌曲名"},
    {"单选框_命名_2", {96, 21, 96, 24}, "歌手-歌曲名"},
    {"单选框_命名_3", {208, 21, 104, 24}, "歌曲名-歌手"},
    {"单选框_命名_4", {328, 21, 120, 24}, "歌曲名-歌手-专辑"},
    {"单选框_命名_5", {8, 53, 104, 27}, "自定义"},
};

}  // namespace

QString choose_folder(QWidget* owner, const QString& title, const QString& start) {
  return QFileDialog::getExistingDirectory(owner, title, start).trimmed();
}

SettingsWindow::SettingsWindow(SettingsStore& store, Ui& ui, QWidget* parent)
    : QDialog(parent), store_(store), ui_(ui), choose_folder_(&choose_folder) {
  setObjectName(QStringLiteral("设置"));
  setWindowTitle(QStringLiteral("设置"));
  setFixedSize(475, 391);

  place(new QLabel(QStringLiteral("歌曲下载目录："), this), "标签1", {8, 8, 80, 32});
  folder_ = place(new QLineEdit(this), "编辑框_歌曲保存目录", {96, 11, 288, 24});
  auto* browse_button =
      place(new QPushButton(QStringLiteral("浏览(&L)"), this), "按钮_浏览", {390, 10, 72, 24});
  place(new QLabel(QStringLiteral("下载线程数量："), this), "标签2", {8, 40, 80, 32});
  connections_ =
      place(new QLineEdit(QStringLiteral("3"), this), "编辑框_下载线程数量", {96, 43, 56, 24});
  auto* hint = place(new QLabel(QStringLiteral("默认为3，线程越多，下载速度越快，但是耗费的内存和"
                                               "CPU资源越多，请根据电脑资源分配，一般不要超过10"),
                                this),
                     "标签3", {160, 42, 310, 32});
  hint->setWordWrap(true);
  place(new QLabel(QStringLiteral("允许同时下载任务："), this), "标签5", {8, 80, 104, 32});
  simultaneous_ =
      place(new QLineEdit(QStringLiteral("3"), this), "编辑框_同时下载任务", {120, 84, 56, 24});

  auto* naming =
      place(new QGroupBox(QStringLiteral("歌曲命名规则"), this), "分组框1", {8, 123, 456, 112});
  for (int i = 0; i < 5; ++i) {
    rules_[static_cast<std::size_t>(i)] =
        place(new QRadioButton(QString::fromUtf8(rules[i].caption), naming), rules[i].name,
              rules[i].place);
  }
  custom_ = place(new QLineEdit(naming), "编辑框_自定义类型", {128, 53, 256, 24});
  auto* menu_button =
      place(new QPushButton(QStringLiteral("。。。"), naming), "按钮_命名菜单", {396, 53, 48, 24});
  // The caption ends in a line break: its one line of text stands at the top.
  place(new QLabel(QStringLiteral("可用参数：%歌手% %歌曲名% %专辑名%\r\n"), naming), "标签4",
        {16, 85, 408, 24})
      ->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  auto* lyrics_group =
      place(new QGroupBox(QStringLiteral("歌词下载"), this), "分组框2", {8, 240, 456, 56});
  lyrics_ = place(new QCheckBox(QStringLiteral("开启歌词下载"), lyrics_group),
                  "选择框_开启歌词菜单", {8, 23, 360, 24});

  auto* apply_button =
      place(new QPushButton(QStringLiteral("应用"), this), "按钮_保存", {264, 299, 88, 32});
  auto* ok_button =
      place(new QPushButton(QStringLiteral("确定"), this), "按钮_确定", {368, 299, 88, 32});

  placeholder_menu_ = new QMenu(QStringLiteral("命名菜单"), this);
  placeholder_menu_->setObjectName(QStringLiteral("命名菜单"));
  for (const char* placeholder : {"%歌手%", "%歌曲名%", "%专辑名%"}) {
    const QString text = QString::fromUtf8(placeholder);
    placeholder_menu_->addAction(text, this, [this, text] { append_placeholder(text); });
  }

  connect(browse_button, &QPushButton::clicked, this, [this] { browse(); });
  connect(menu_button, &QPushButton::clicked, this,
          [this] { placeholder_menu_->popup(QCursor::pos()); });
  connect(apply_button, &QPushButton::clicked, this, [this] { apply(); });
  connect(ok_button, &QPushButton::clicked, this, [this] { apply_and_close(); });

  fill_from_settings();
}

void SettingsWindow::fill_from_settings() {
  store_.load_settings();
  const Settings settings = store_.snapshot();
  folder_->setText(qt_from_gbk(settings.setdir));
  custom_->setText(qt_from_gbk(settings.customname));
  simultaneous_->setText(QString::number(settings.downnum));
  connections_->setText(QString::number(settings.downth));
  // A rule outside 1..5 leaves every button unchecked.
  for (int i = 0; i < 5; ++i) {
    QRadioButton* button = rules_[static_cast<std::size_t>(i)];
    button->setAutoExclusive(false);
    button->setChecked(settings.nametype == i + 1);
    button->setAutoExclusive(true);
  }
  lyrics_->setChecked(settings.downlrc);
}

void SettingsWindow::apply() {
  SettingsInput input;
  input.folder = gbk_from_qt(folder_->text());
  input.simultaneous_tasks = gbk_from_qt(simultaneous_->text());
  input.connections = gbk_from_qt(connections_->text());
  input.custom_pattern = gbk_from_qt(custom_->text());
  for (int i = 0; i < 5 && input.checked_rule == 0; ++i) {
    if (rules_[static_cast<std::size_t>(i)]->isChecked()) input.checked_rule = i + 1;
  }
  input.lyrics = lyrics_->isChecked();
  const ApplyOutcome outcome = store_.apply_settings(input, ui_);
  if (outcome.saved) {
    folder_->setText(qt_from_gbk(outcome.folder));
  } else if (outcome.custom_pattern != input.custom_pattern) {
    custom_->setText(qt_from_gbk(outcome.custom_pattern));
  }
}

void SettingsWindow::apply_and_close() {
  apply();
  accept();
}

void SettingsWindow::browse() {
  static const std::string question =
      gbk_from_utf8("提示，保存到C盘需要管理员权限，你确定放这儿吗");
  static const std::string caption = gbk_from_utf8("提示");
  const QString folder =
      choose_folder_ ? choose_folder_(this, QStringLiteral("请选择下载保存目录"), folder_->text())
                     : QString();
  if (folder.isEmpty()) return;
  if (folder.startsWith(u'C') || folder.startsWith(u'c')) {
    if (!ui_.ask_yes_no(question, caption, MessageIcon::information)) return;
  }
  folder_->setText(folder);
}

void SettingsWindow::append_placeholder(const QString& placeholder) {
  custom_->setText(custom_->text() + placeholder);
}

}  // namespace zarvex

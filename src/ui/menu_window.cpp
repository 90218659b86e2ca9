#include "ui/menu_window.h"

#include <QLabel>

#include "ui/built_in_picture.h"
#include "ui/place.h"

namespace zarvex {
namespace {

struct MenuItem {
  const char* name;
  QRect place;
  const char* caption;
  const char* icon_name;
  QRect icon_place;
  const char* picture;
};

// The captions begin with nine blanks, which leave room for the icon.
const MenuItem items[] = {
    {"标签1", {5, 80, 157, 32}, "         软件设置", "图片框1", {15, 89, 14, 15}, "menu_settings"},
    {"标签2", {5, 120, 157, 32}, "         关于软件", "图片框2", {15, 130, 15, 15}, "menu_about"},
    {"标签3", {5, 156, 157, 32}, "         使用帮助", "图片框3", {15, 166, 15, 15}, "menu_help"},
    {"标签4", {5, 192, 157, 32}, "         退出软件", "图片框4", {15, 202, 15, 15}, "menu_exit"},
};

}  // namespace

MenuWindow::MenuWindow(QWidget* parent) : PopupWindow(170, 261, parent) {
  setWindowTitle(QStringLiteral("菜单"));
  auto* header = place(new QLabel(this), "图片框5", {2, 7, 163, 48});
  header->setPixmap(built_in_picture(QStringLiteral("menu_header")));
  place(new QLabel(QStringLiteral("下载器V1.9"), this), "标签5", {96, 47, 64, 32});

  void (MenuWindow::*signals_of_items[])() = {&MenuWindow::settings_chosen,
                                              &MenuWindow::about_chosen, &MenuWindow::help_chosen,
                                              &MenuWindow::exit_chosen};
  for (int i = 0; i < static_cast<int>(std::size(items)); ++i) {
    const MenuItem& item = items[i];
    auto signal = signals_of_items[i];
    add_item(QString::fromUtf8(item.name), item.place, QString::fromUtf8(item.caption),
             [this, signal] { emit(this->*signal)(); });
    add_item_picture(i, item.icon_name, item.icon_place,
                     built_in_picture(QString::fromUtf8(item.picture)), true);
  }

  // Context menus are top-level pop-ups of their own; this window only holds them.
  task_menu_ = new QMenu(QStringLiteral("下载菜单"));
  task_menu_->setObjectName(QStringLiteral("下载菜单"));
  start_task_ = task_menu_->addAction(QStringLiteral("开始下载"));
  pause_task_ = task_menu_->addAction(QStringLiteral("暂停下载"));
  delete_task_ = task_menu_->addAction(QStringLiteral("删除任务"));
  finished_menu_ = new QMenu(QStringLiteral("完成菜单"));
  finished_menu_->setObjectName(QStringLiteral("完成菜单"));
  delete_file_ = finished_menu_->addAction(QStringLiteral("删除文件"));
}

MenuWindow::~MenuWindow() {
  delete task_menu_;
  delete finished_menu_;
}

}  // namespace zarvex

#pragma once
// The menu window: settings, about, help and exit, and the two context menus of the download
// lists ("下载菜单" and "完成菜单"), which live here and pop up over the main window.

#include <QAction>
#include <QMenu>

#include "ui/popup_window.h"

namespace zarvex {

class MenuWindow : public PopupWindow {
  Q_OBJECT
 public:
  explicit MenuWindow(QWidget* parent = nullptr);
  ~MenuWindow() override;

  // "下载菜单": "开始下载", "暂停下载", "删除任务".
  QMenu* task_menu() const { return task_menu_; }
  QAction* start_task_action() const { return start_task_; }
  QAction* pause_task_action() const { return pause_task_; }
  QAction* delete_task_action() const { return delete_task_; }
  // "完成菜单": "删除文件".
  QMenu* finished_menu() const { return finished_menu_; }
  QAction* delete_file_action() const { return delete_file_; }

 signals:
  void settings_chosen();
  void about_chosen();
  void help_chosen();
  void exit_chosen();

 private:
  QMenu* task_menu_;
  QAction* start_task_;
  QAction* pause_task_;
  QAction* delete_task_;
  QMenu* finished_menu_;
  QAction* delete_file_;
};

}  // namespace zarvex

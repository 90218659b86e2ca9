// What the main window's controls do: each handler runs on the GUI thread and hands the work
// to the system's routines, starting a worker thread where a routine waits for the network.

#include <QGuiApplication>
#include <QMenu>

#include "platform/codepage.h"
#include "ui/main_window.h"
#include "update/update_notice.h"

namespace zarvex {
namespace {

std::string gbk(const char* utf8) {
  return gbk_from_utf8(utf8);
}

}  // namespace

void MainWindow::connect_controls() {
  connect(close_button_, &QToolButton::clicked, this, [this] { confirm_exit(); });
  connect(minimise_button_, &QToolButton::clicked, this, [this] { showMinimized(); });
  connect(menu_button_, &QToolButton::clicked, this, [this] { open_menu_window(); });
  connect(avatar_, &ClickLabel::clicked, this, &MainWindow::avatar_clicked);
  connect(status_bar_, &StatusBar::clicked, this, [this] { open_status_address(); });

  connect(search_view_, &ListView::right_clicked, this, [this] { open_song_popup(1); });
  connect(playlist_view_, &ListView::right_clicked, this, [this] { open_song_popup(2); });
  connect(song_popup_, &SongPopup::quality_chosen, this, [this](int q) { choose_quality(q); });

  connect(menu_window_, &MenuWindow::settings_chosen, this, [this] { open_settings_window(); });
  connect(menu_window_, &MenuWindow::about_chosen, this, [this] { open_about_window(); });
  connect(menu_window_, &MenuWindow::help_chosen, this, [this] { show_help(); });
  connect(menu_window_, &MenuWindow::exit_chosen, this, [this] { confirm_exit(); });

  connect(download_view_, &ListView::right_clicked, this,
          [this](QPoint at) { menu_window_->task_menu()->popup(at); });
  connect(finished_view_, &ListView::right_clicked, this,
          [this](QPoint at) { menu_window_->finished_menu()->popup(at); });
}

void MainWindow::confirm_exit() {
  static const std::string question = gbk("还有下载任务没有完成，是否要继续退出？");
  // Every listed task counts, running, waiting or paused; running downloads are not stopped.
  if (globals_.download_list.row_count() == 0 || ui_.ask_yes_no(question)) {
    emit end_program_requested();
  }
}

void MainWindow::open_status_address() {
  // The announcement page names the address; only a web address is handed to the desktop.
  const std::string address = globals_.update_notice.current().download_url;
  if (is_web_address(address)) ui_.open_url(address);
}

void MainWindow::show_help() {
  static const std::string help = gbk(
      "1.一定要登录账号，否则无法使用QQ音乐下载功能\r\n"
      "2.选择喜欢的歌曲，右键点击下载。歌曲列表有SQ和HQ标识，有SQ是标识说明本歌曲有flac或者ape格式"
      "文件下载。\r\n"
      "HQ说明有320K音乐质量，没有任何标识说明有128K质量音乐。菜单都有标识。\r\n"
      "3.下载默认目录为软件文件夹downsong文件目录。请在设置中自行设置文件保存目录\r\n"
      "4.个人歌单中心，可以获取歌单列表，并且选择可以选择下载，下载方式和上面下载歌曲方法一样。");
  ui_.message(help, {}, MessageIcon::information);
}

void MainWindow::open_settings_window() {}

void MainWindow::open_about_window() {}

void MainWindow::choose_quality(int quality) {
  (void)quality;
  // Giving the main window the focus deactivates the pop-up, which hides it.
  activateWindow();
  song_popup_->hide();
}

}  // namespace zarvex

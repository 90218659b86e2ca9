// What the main window's controls do: each handler runs on the GUI thread and hands the work
// to the system's routines, starting a worker thread where a routine waits for the network.
// A worker gets copies of what the user acted on (the keyword, the chosen row, the session),
// taken here when the user acted.

#include <QMenu>

#include "download/download_start.h"
#include "download/service_song_service.h"
#include "net/http.h"
#include "platform/codepage.h"
#include "service/playlists.h"
#include "service/quality.h"
#include "service/song_search.h"
#include "ui/about_window.h"
#include "ui/gbk_text.h"
#include "ui/login/sign_in.h"
#include "ui/main_window.h"
#include "ui/settings_window.h"
#include "update/update_notice.h"

namespace zarvex {

void MainWindow::connect_controls() {
  connect(close_button_, &QToolButton::clicked, this, [this] { confirm_exit(); });
  connect(minimise_button_, &QToolButton::clicked, this, [this] { showMinimized(); });
  connect(menu_button_, &QToolButton::clicked, this, [this] { open_menu_window(); });
  // The avatar box is the login button.
  connect(avatar_, &ClickLabel::clicked, this,
          [this] { sign_in(this, globals_.session, globals_.endpoints, avatar_, ui_); });
  connect(status_bar_, &StatusBar::clicked, this, [this] { open_status_address(); });
  connect(progress_timer_, &QTimer::timeout, this,
          [this] { with_timer_held([this] { globals_.downloads.tick(); }); });

  connect(search_button_, &QPushButton::clicked, this, [this] { search(); });
  connect(playlist_button_, &QPushButton::clicked, this, [this] { fetch_playlist_list(); });
  // Only the user's own choice loads songs; a worker refilling the box selects its first item
  // without loading anything.
  connect(playlist_box_, &QComboBox::activated, this,
          [this](int position) { choose_playlist(position); });
  auto* box_model = static_cast<ListTableModel*>(playlist_box_->model());
  connect(box_model, &ListTableModel::refreshed, playlist_box_, [this](int selected) {
    if (playlist_box_->currentIndex() != selected) playlist_box_->setCurrentIndex(selected);
  });

  connect(search_view_, &ListView::right_clicked, this, [this] { open_song_popup(1); });
  connect(playlist_view_, &ListView::right_clicked, this, [this] { open_song_popup(2); });

  DownloadManager& downloads = globals_.downloads;
  connect(start_all_button_, &QPushButton::clicked, this,
          [this, &downloads] { with_timer_held([&downloads] { downloads.start_all(); }); });
  connect(pause_all_button_, &QPushButton::clicked, this,
          [this, &downloads] { with_timer_held([&downloads] { downloads.pause_all(); }); });
  connect(open_folder_button_, &QPushButton::clicked, this,
          [this] { ui_.open_url(globals_.downloads.settings().snapshot().setdir); });
}

void MainWindow::connect_pop_ups() {
  connect(song_popup_, &SongPopup::quality_chosen, this, [this](int q) { choose_quality(q); });
  connect(menu_window_, &MenuWindow::settings_chosen, this, [this] { open_settings_window(); });
  connect(menu_window_, &MenuWindow::about_chosen, this, [this] { open_about_window(); });
  connect(menu_window_, &MenuWindow::help_chosen, this, [this] { show_help(); });
  connect(menu_window_, &MenuWindow::exit_chosen, this, [this] { confirm_exit(); });

  connect(download_view_, &ListView::right_clicked, this,
          [this](QPoint at) { menu_window_->task_menu()->popup(at); });
  connect(finished_view_, &ListView::right_clicked, this,
          [this](QPoint at) { menu_window_->finished_menu()->popup(at); });

  DownloadManager& downloads = globals_.downloads;
  // The row is the one selected when the user chose the item; no tick moves it meanwhile (a
  // tick while a question is up could rebuild the list and put another row under the number).
  auto on_selected_row = [this](ListTable& list, auto action) {
    return [this, &list, action] {
      with_timer_held([&list, action] {
        const int row = list.selected();
        if (row >= 0) action(static_cast<std::size_t>(row));
      });
    };
  };
  ListTable& tasks = downloads.download_list();
  connect(menu_window_->start_task_action(), &QAction::triggered, this,
          on_selected_row(tasks, [&downloads](std::size_t row) { downloads.start_task(row); }));
  connect(menu_window_->pause_task_action(), &QAction::triggered, this,
          on_selected_row(tasks, [&downloads](std::size_t row) { downloads.pause_task(row); }));
  connect(menu_window_->delete_task_action(), &QAction::triggered, this,
          on_selected_row(tasks, [&downloads](std::size_t row) { downloads.delete_task(row); }));
  connect(menu_window_->delete_file_action(), &QAction::triggered, this,
          on_selected_row(downloads.finished_list(),
                          [&downloads](std::size_t row) { downloads.delete_finished_file(row); }));
}

void MainWindow::start_update_notice() {
  const std::string address = globals_.endpoints.announce;
  if (address.empty()) return;
  const HttpOptions options = globals_.endpoints.http;
  workers_.start([this, address, options] {
    check_for_update(
        address,
        [&options](const std::string& page) { return fetch_with_headers(page, {}, options); },
        globals_.update_notice, ui_);
  });
}

void MainWindow::search() {
  if (!begin_search(globals_.session.logged_in(), ui_)) return;
  const std::string keyword = gbk_from_qt(search_edit_->text());
  workers_.start(
      [this, keyword] { search_worker(keyword, globals_.endpoints, globals_.search_list, ui_); });
}

void MainWindow::fetch_playlist_list() {
  begin_playlist_list(ui_);
  const SessionRecord session = globals_.session.snapshot();
  workers_.start([this, session] {
    playlist_list_worker(session, &globals_.session, globals_.endpoints, globals_.playlists,
                         globals_.playlist_box, ui_);
  });
}

void MainWindow::choose_playlist(int position) {
  globals_.playlist_box.set_selected(position);
  if (!globals_.playlists.choice_loads_songs(position)) return;
  const SessionRecord session = globals_.session.snapshot();
  workers_.start([this, session, position] {
    playlist_songs_worker(session, globals_.endpoints, globals_.playlists, position,
                          globals_.playlist_song_list, ui_);
  });
}

void MainWindow::choose_quality(int quality) {
  // Giving the main window the focus deactivates the pop-up, which hides it.
  activateWindow();
  song_popup_->hide();
  ListTable& list = globals_.song_source == 1 ? globals_.search_list : globals_.playlist_song_list;
  if (!offer_quality(quality, list, ui_)) return;
  // The row as it is now: a later change of the selection does not change this download.
  const ListRow row = list.row(static_cast<std::size_t>(list.selected()));
  const SessionRecord session = globals_.session.snapshot();
  workers_.start([this, quality, row, session] {
    ServiceSongService service(globals_.endpoints, session);
    start_song_download(globals_.downloads, service, quality, row);
  });
}

void MainWindow::confirm_exit() {
  static const std::string question = gbk_from_utf8("还有下载任务没有完成，是否要继续退出？");
  // Every listed task counts, running, waiting or paused; running downloads are not stopped.
  bool leave = false;
  with_timer_held([&] {
    leave = globals_.downloads.download_list().row_count() == 0 || ui_.ask_yes_no(question);
  });
  if (leave) emit end_program_requested();
}

void MainWindow::open_status_address() {
  // The announcement page names the address; only a web address is handed to the desktop.
  const std::string address = globals_.update_notice.current().download_url;
  if (is_web_address(address)) ui_.open_url(address);
}

void MainWindow::show_help() {
  static const std::string help = gbk_from_utf8(
      "1.一定要登录账号，否则无法使用QQ音乐下载功能\r\n"
      "2.选择喜欢的歌曲，右键点击下载。歌曲列表有SQ和HQ标识，有SQ是标识说明本歌曲有flac或者ape格式"
      "文件下载。\r\n"
      "HQ说明有320K音乐质量，没有任何标识说明有128K质量音乐。菜单都有标识。\r\n"
      "3.下载默认目录为软件文件夹downsong文件目录。请在设置中自行设置文件保存目录\r\n"
      "4.个人歌单中心，可以获取歌单列表，并且选择可以选择下载，下载方式和上面下载歌曲方法一样。");
  ui_.message(help, {}, MessageIcon::information);
}

void MainWindow::open_settings_window() {
  SettingsWindow window(globals_.downloads.settings(), ui_, this);
  window.exec();
}

void MainWindow::open_about_window() {
  AboutWindow window(globals_.endpoints.maker_site, ui_, this);
  window.exec();
}

}  // namespace zarvex

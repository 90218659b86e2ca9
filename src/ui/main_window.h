#pragma once
// The borderless main window "Zarvex": title area, side bar with four entries, the page
// control with the song search, my playlists, downloads and support pages, the status bar, and
// the song pop-up and menu window it opens at the mouse. Every control carries its own name as
// object name. The work behind the controls is done by the system's routines, on worker threads
// where it waits for the network; no worker touches a widget.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <array>

#include "app/globals.h"
#include "platform/ui_port.h"
#include "ui/click_label.h"
#include "ui/list_view.h"
#include "ui/menu_window.h"
#include "ui/song_popup.h"
#include "ui/status_bar.h"
#include "ui/tab_control.h"
#include "ui/worker_threads.h"

namespace zarvex {

class MainWindow : public QWidget {
  Q_OBJECT
 public:
  // `ui` shows the boxes and status texts of the routines started here; `workers` runs them.
  MainWindow(Globals& globals, Ui& ui, WorkerThreads& workers, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Side bar: highlights entry n (0..3), draws the others normal, shows page n.
  void select_side_entry(int entry);
  void draw_side_entry(int entry, bool highlighted);
  int current_page() const { return pages_->current_page(); }

  void set_status_text(int part, const QString& text) { status_bar_->set_text(part, text); }

  // Opens the song pop-up at the mouse for the list `source` (1 search, 2 playlist songs);
  // the lists' right click calls it only when a row is selected.
  void open_song_popup(int source);
  void open_menu_window();
  // A quality chosen in the song pop-up (1 128K mp3, 2 320K mp3, 3 APE, 4 FLAC).
  void choose_quality(int quality);
  // Ends the program when the download list is empty or the user agrees to leave it.
  void confirm_exit();

  SongPopup* song_popup() const { return song_popup_; }
  MenuWindow* menu_window() const { return menu_window_; }
  StatusBar* status_bar() const { return status_bar_; }
  ClickLabel* avatar_box() const { return avatar_; }
  ListView* search_view() const { return search_view_; }
  ListView* playlist_view() const { return playlist_view_; }
  ListView* download_view() const { return download_view_; }
  ListView* finished_view() const { return finished_view_; }

 signals:
  // The user confirmed leaving; the program ends without stopping running downloads.
  void end_program_requested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void build_title_area();
  void build_side_bar();
  void build_pages();
  void build_search_page(QWidget* page);
  void build_playlist_page(QWidget* page);
  void build_download_page(QWidget* page);
  void build_support_page(QWidget* page);
  void connect_controls();
  void connect_pop_ups();
  // What happens once the window exists: decoration, settings, the finished list, the pop-ups,
  // the update notice and the progress timer.
  void on_created();
  void start_update_notice();

  void search();
  void fetch_playlist_list();
  void choose_playlist(int position);

  // Runs `action` with the progress timer held: a box the action shows runs an event loop of
  // its own, and a tick inside it would remove or add rows under the action's row number.
  template <class Action>
  void with_timer_held(Action&& action) {
    const bool active = progress_timer_->isActive();
    progress_timer_->stop();
    action();
    if (active) progress_timer_->start();
  }

  void open_status_address();
  void show_help();
  void open_settings_window();
  void open_about_window();

  Globals& globals_;
  Ui& ui_;
  WorkerThreads& workers_;

  QPixmap hq_badge_;
  QPixmap sq_badge_;

  QLabel* title_area_ = nullptr;
  QToolButton* close_button_ = nullptr;
  QToolButton* minimise_button_ = nullptr;
  QToolButton* menu_button_ = nullptr;
  QPoint drag_offset_;
  bool dragging_ = false;

  QLabel* side_bar_ = nullptr;
  ClickLabel* avatar_ = nullptr;
  std::array<ClickLabel*, 4> side_labels_{};
  std::array<QLabel*, 3> side_icons_{};
  QTimer* progress_timer_ = nullptr;

  TabControl* pages_ = nullptr;
  QLineEdit* search_edit_ = nullptr;
  QPushButton* search_button_ = nullptr;
  ListView* search_view_ = nullptr;
  QComboBox* playlist_box_ = nullptr;
  QPushButton* playlist_button_ = nullptr;
  ListView* playlist_view_ = nullptr;
  TabControl* download_tabs_ = nullptr;
  QPushButton* start_all_button_ = nullptr;
  QPushButton* pause_all_button_ = nullptr;
  ListView* download_view_ = nullptr;
  ListView* finished_view_ = nullptr;
  QPushButton* open_folder_button_ = nullptr;
  StatusBar* status_bar_ = nullptr;

  SongPopup* song_popup_ = nullptr;
  MenuWindow* menu_window_ = nullptr;
};

}  // namespace zarvex

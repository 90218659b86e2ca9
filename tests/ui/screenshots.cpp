// Saves pictures of the windows into a folder, for a person to look at: the main window on
// each page with real answers of the stand-in service (a search, a running download, the
// finished files, the playlists), the pop-ups, the settings and the about window.
//   ui_screenshots OUT_DIR
// Not a test: it asserts nothing and waits for the stand-in at most a few seconds per step.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "app/app.h"
#include "platform/codepage.h"
#include "service/song_row.h"
#include "support/standin_process.h"
#include "ui/about_window.h"
#include "ui/settings_window.h"

using namespace zarvex;

namespace {

void save(QWidget* widget, const QString& folder, const char* name) {
  QApplication::processEvents();
  widget->grab().save(folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
  std::printf("saved %s.png\n", name);
}

// Runs the event loop until `done` holds or `seconds` have passed.
bool wait_for(const std::function<bool()>& done, int seconds) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < seconds * 1000) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  return done();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  QDir().mkpath(out);
  QTemporaryDir home;
  test::StandinProcess standin(
      {"--write-config", home.path().toStdString(), "--rate-limit", "1048576"}, 120);
  if (!standin.ok()) {
    std::fprintf(stderr, "the stand-in did not start: %s\n", standin.startup_output().c_str());
    return 1;
  }
  App app(home.path().toStdString());
  app.ui().set_box_handler([](const QtUi::Box&) { return false; });
  app.ui().set_open_handler([](const QString&) {});
  Globals& globals = app.globals();
  globals.session.store("10001", "uin=o10001; skey=@Zx9aQ", "1829304");
  globals.session.set_logged_in(true);
  MainWindow& window = app.main_window();
  window.set_status_text(2, QStringLiteral("状态：已登录"));
  window.move(40, 40);
  window.show();

  // Playlists first (their own page), then a search.
  window.select_side_entry(1);
  window.findChild<QPushButton*>(QStringLiteral("按钮_获取歌单列表"))->click();
  auto* box = window.findChild<QComboBox*>(QStringLiteral("组合框_歌单列表"));
  wait_for([&] { return box->count() > 1; }, 20);
  box->setCurrentIndex(1);
  emit box->activated(1);
  wait_for([&] { return globals.playlist_song_list.row_count() > 0; }, 20);
  save(&window, out, "main_page1");

  window.select_side_entry(0);
  window.findChild<QLineEdit*>(QStringLiteral("编辑框_搜索歌曲"))->setText(QStringLiteral("雨"));
  auto* search = window.findChild<QPushButton*>(QStringLiteral("按钮_搜索"));
  search->click();
  wait_for([&] { return search->isEnabled() && globals.search_list.row_count() > 0; }, 20);
  globals.search_list.set_selected(1);
  wait_for([] { return false; }, 1);
  save(&window, out, "main_page0");

  window.song_popup()->show_at(window.mapToGlobal(QPoint(330, 200)));
  save(window.song_popup(), out, "song_popup");
  // Two downloads of the first song that has every quality: FLAC and 320K mp3.
  const auto rows = globals.search_list.rows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].cells[song_column_tags].find("flac") == std::string::npos) continue;
    globals.search_list.set_selected(static_cast<int>(i));
    QApplication::processEvents();
    window.open_song_popup(1);
    window.choose_quality(4);
    window.open_song_popup(1);
    window.choose_quality(2);
    break;
  }
  window.select_side_entry(2);
  wait_for([&] { return globals.downloads.download_list().row_count() >= 2; }, 20);
  wait_for([] { return false; }, 3);
  save(&window, out, "main_page2");
  wait_for([&] { return globals.downloads.download_list().row_count() == 0; }, 60);
  window.findChild<TabControl*>(QStringLiteral("选择夹2"))->set_current_page(1);
  save(&window, out, "main_page2_finished");
  window.findChild<TabControl*>(QStringLiteral("选择夹2"))->set_current_page(0);
  window.select_side_entry(3);
  save(&window, out, "main_page3");
  window.select_side_entry(0);

  window.menu_window()->show_at(window.mapToGlobal(QPoint(520, 36)));
  save(window.menu_window(), out, "menu_window");
  window.menu_window()->hide();

  SettingsWindow settings(globals.downloads.settings(), app.ui(), &window);
  settings.show();
  save(&settings, out, "settings_window");
  settings.hide();
  AboutWindow about(globals.endpoints.maker_site, app.ui(), &window);
  about.show();
  save(&about, out, "about_window");
  return 0;
}

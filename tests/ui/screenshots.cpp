// Saves pictures of the windows (main window on each page, the pop-ups, the settings and about
// windows) into a folder, for a person to look at: ui_screenshots OUT_DIR. Not a test.

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include "app/globals.h"
#include "platform/codepage.h"
#include "support/recording_ui.h"
#include "ui/about_window.h"
#include "ui/main_window.h"
#include "ui/settings_window.h"

using namespace zarvex;

namespace {

std::string gbk(const char* utf8) {
  return gbk_from_utf8(utf8);
}

void save(QWidget* widget, const QString& folder, const char* name) {
  QApplication::processEvents();
  widget->grab().save(folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  QDir().mkpath(out);
  QTemporaryDir home;
  test::RecordingUi ui;
  Globals globals(home.path().toStdString(), ui);
  WorkerThreads workers;
  MainWindow window(globals, ui, workers);

  const char* songs[][4] = {{"晴天", "周杰伦", "叶惠美", "1"},
                            {"稻香", "周杰伦", "魔杰座", "0"},
                            {"Yesterday", "The Beatles", "Help!", "-1"},
                            {"夜曲", "周杰伦", "十一月的萧邦", "1"}};
  for (const auto& s : songs) {
    const int image = std::atoi(s[3]);
    const std::string tags = image == 1   ? "128mp3320mp3apeflac"
                             : image == 0 ? "128mp3320mp3"
                                          : "128mp3";
    globals.search_list.add_row({"", gbk(s[0]), gbk(s[1]), gbk(s[2]), "mid", tags, "1", "m"},
                                image);
    globals.playlist_song_list.add_row({"", gbk(s[0]), gbk(s[1]), gbk(s[2]), "mid", tags, "1", "m"},
                                       image);
  }
  globals.search_list.set_selected(1);
  ListTable& downloads = globals.downloads.download_list();
  downloads.add_row({"1", gbk("周杰伦-晴天"), gbk("正在下载"), "31M", "45%", "1"});
  downloads.add_row({"2", gbk("周杰伦-稻香"), gbk("等待下载"), "", "", "2"});
  globals.downloads.finished_list().add_row(
      {"1", gbk("周杰伦-夜曲"), "24.5M", "flac", gbk("有歌词")});
  globals.playlist_box.add_row({gbk("我喜欢的歌")});
  globals.playlist_box.set_selected(0);
  window.set_status_text(0, QStringLiteral("搜索完毕"));
  window.set_status_text(1, QStringLiteral("版本：1.9.1 最新：1.9"));
  window.set_status_text(2, QStringLiteral("未登录"));
  window.set_status_text(3, QStringLiteral("下载状态：当前下载任务2"));
  window.show();

  for (int page = 0; page < 4; ++page) {
    window.select_side_entry(page);
    save(&window, out, ("main_page" + std::to_string(page)).c_str());
  }
  window.findChild<TabControl*>(QStringLiteral("选择夹2"))->set_current_page(1);
  window.select_side_entry(2);
  save(&window, out, "main_page2_finished");
  window.select_side_entry(0);

  window.song_popup()->show_at(window.mapToGlobal(QPoint(300, 200)));
  save(window.song_popup(), out, "song_popup");
  window.song_popup()->hide();
  window.menu_window()->show_at(window.mapToGlobal(QPoint(450, 40)));
  save(window.menu_window(), out, "menu_window");
  window.menu_window()->hide();

  SettingsWindow settings(globals.downloads.settings(), ui, &window);
  settings.show();
  save(&settings, out, "settings_window");
  settings.hide();
  AboutWindow about(globals.endpoints.maker_site, ui, &window);
  about.show();
  save(&about, out, "about_window");
  return 0;
}

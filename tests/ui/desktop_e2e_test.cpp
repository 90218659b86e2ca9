// The whole desktop program against the stand-in service on 127.0.0.1: search, the quality
// choice in the song pop-up, the download through the list to the finished files (checked
// byte for byte), the playlists box, and the update notice.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <iterator>

#include "app/app.h"
#include "download/download_list.h"
#include "media_host.h"
#include "net/http.h"
#include "platform/codepage.h"
#include "service/playlists.h"
#include "service/song_row.h"
#include "session/avatar_address.h"
#include "session/session_keys.h"
#include "support/list_view_clicks.h"
#include "support/login_page_driver.h"
#include "support/recording_ui.h"
#include "support/standin_process.h"
#include "ui/built_in_picture.h"

using namespace zarvex;

namespace {

std::string gbk(const char* utf8) {
  return gbk_from_utf8(utf8);
}
QString qt(const std::string& gbk_text) {
  return QString::fromStdString(utf8_from_gbk(gbk_text));
}

using test::right_click;

int find_row(const ListTable& list, std::size_t column, const std::string& text) {
  const auto rows = list.rows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].cells.size() > column && rows[i].cells[column] == text) return static_cast<int>(i);
  }
  return -1;
}

// The download list and the boxes shown so far, for a failure message.
std::string describe(const ListTable& list, const std::vector<QtUi::Box>& boxes) {
  std::string text = "download list:";
  for (const ListRow& row : list.rows()) {
    text += "\n ";
    for (const std::string& cell : row.cells)
      text += " [" + utf8_from_gbk(cell) + "]";
  }
  for (const QtUi::Box& box : boxes)
    text += "\nbox: " + box.text.toStdString();
  return text;
}

bool contains(const std::vector<QString>& seen, const QString& text) {
  return std::find(seen.begin(), seen.end(), text) != seen.end();
}

// The program with its home folder pointed at a fresh stand-in; signed in unless asked not to.
struct Program {
  QTemporaryDir home;
  test::StandinProcess standin;
  std::unique_ptr<App> app;
  std::vector<QtUi::Box> boxes;
  QStringList opened;

  explicit Program(std::vector<std::string> extra = {}, bool signed_in = true)
      : standin([&] {
          extra.insert(extra.begin(), {"--write-config", home.path().toStdString()});
          return extra;
        }()) {
    if (!standin.ok()) return;
    app = std::make_unique<App>(home.path().toStdString());
    app->ui().set_box_handler([this](const QtUi::Box& box) {
      boxes.push_back(box);
      return true;
    });
    app->ui().set_open_handler([this](const QString& address) { opened << address; });
    if (signed_in) {
      app->globals().session.store("10001", "uin=o10001; skey=@Zx9aQ", "1829304");
      app->globals().session.set_logged_in(true);
    }
    window().show();
  }

  MainWindow& window() { return app->main_window(); }
  Globals& globals() { return app->globals(); }
  template <class W = QWidget>
  W* control(const char* name) {
    return window().findChild<W*>(QString::fromUtf8(name));
  }
  QString status(int part) { return window().status_bar()->text(part); }
};

}  // namespace

class DesktopEndToEndTest : public QObject {
  Q_OBJECT

 private slots:
  void search_choose_flac_and_download_it() {
    // A slow media host keeps the task in the list for a few ticks.
    Program program({"--rate-limit", "4194304"});
    QVERIFY2(program.standin.ok(), program.standin.startup_output().c_str());
    Globals& globals = program.globals();

    program.control<QLineEdit>("编辑框_搜索歌曲")->setText(QStringLiteral("雨后的城市"));
    auto* search = program.control<QPushButton>("按钮_搜索");
    QTest::mouseClick(search, Qt::LeftButton);
    QVERIFY(!search->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(search->isEnabled(), 30000);
    QCOMPARE(program.status(0), QStringLiteral("搜索完毕"));
    const int full = find_row(globals.search_list, song_column_title, gbk("雨后的城市"));
    const int live = find_row(globals.search_list, song_column_title, gbk("雨后的城市 (Live)"));
    QVERIFY(full >= 0 && live >= 0);
    QTRY_COMPARE(program.window().search_view()->model()->rowCount(),
                 static_cast<int>(globals.search_list.row_count()));

    // FLAC on a song without it: refused, nothing starts.
    globals.search_list.set_selected(live);
    QCoreApplication::processEvents();
    right_click(program.window().search_view());
    QVERIFY(program.window().song_popup()->isVisible());
    QCOMPARE(globals.song_source.load(), 1);
    QTest::mouseClick(program.window().song_popup()->quality_label(4), Qt::LeftButton);
    QCOMPARE(program.boxes.size(), std::size_t{1});
    QCOMPARE(program.boxes[0].text,
             QStringLiteral("你要下载的音乐没有你选择的格式哟，请选择其他格式下载"));
    QCOMPARE(program.boxes[0].caption, QStringLiteral("提示"));

    // FLAC on the song that has it.
    globals.search_list.set_selected(full);
    QCoreApplication::processEvents();
    const ListRow chosen = globals.search_list.row(static_cast<std::size_t>(full));
    right_click(program.window().search_view());
    QTest::mouseClick(program.window().song_popup()->quality_label(4), Qt::LeftButton);
    QVERIFY(!program.window().song_popup()->isVisible());

    // Watch the list as the user sees it: the row runs, then leaves for the finished list.
    std::vector<QString> statuses;
    QAbstractItemModel* shown = program.window().download_view()->model();
    auto watch = [&] {
      for (int r = 0; r < shown->rowCount(); ++r) {
        const QString status = shown->index(r, download_status).data().toString();
        if (!contains(statuses, status)) statuses.push_back(status);
      }
    };
    connect(shown, &QAbstractItemModel::rowsInserted, this, watch);
    connect(shown, &QAbstractItemModel::dataChanged, this, watch);
    connect(shown, &QAbstractItemModel::modelReset, this, watch);
    ListTable& finished = globals.downloads.finished_list();
    const std::string base =
        chosen.cells[song_column_singer] + "-" + chosen.cells[song_column_title];
    const bool arrived = QTest::qWaitFor(
        [&] {
          return find_row(finished, 1, base) >= 0 &&
                 globals.downloads.download_list().row_count() == 0;
        },
        150 * 1000);
    QVERIFY2(arrived, describe(globals.downloads.download_list(), program.boxes).c_str());
    QVERIFY(contains(statuses, QStringLiteral("正在下载")));
    QCOMPARE(program.boxes.size(), std::size_t{1});  // no complaint on the way

    const ListRow done = finished.row(static_cast<std::size_t>(find_row(finished, 1, base)));
    QCOMPARE(done.cells[3], std::string("flac"));
    QCOMPARE(done.cells[4], gbk("有歌词"));

    // The file, byte for byte.
    const std::string folder = utf8_from_gbk(globals.downloads.settings().snapshot().setdir);
    const std::string path = folder + "/" + utf8_from_gbk(base) + ".flac";
    std::ifstream in(path, std::ios::binary);
    QVERIFY2(in, path.c_str());
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string media = "F000" + chosen.cells[song_column_media_mid] + ".flac";
    const std::int64_t size = standin::media_file_size(media);
    QVERIFY(size > 0);
    QCOMPARE(static_cast<std::int64_t>(bytes.size()), size);
    std::string expected(static_cast<std::size_t>(size), '\0');
    standin::media_file_bytes(media, 0, expected.data(), expected.size());
    QVERIFY(bytes == expected);
  }

  void playlists_fill_the_box_in_reverse_and_load_on_choice() {
    Program program;
    QVERIFY2(program.standin.ok(), program.standin.startup_output().c_str());
    Globals& globals = program.globals();

    // What the service says, asked directly.
    const SessionRecord session = globals.session.snapshot();
    std::string cookie = session.cookie;
    std::vector<Playlist> answer;
    QVERIFY(fetch_playlists(session, cookie, globals.endpoints, answer));
    QVERIFY(answer.size() >= 2);

    auto* box = program.control<QComboBox>("组合框_歌单列表");
    auto* fetch = program.control<QPushButton>("按钮_获取歌单列表");
    QTest::mouseClick(fetch, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(fetch->isEnabled() && box->count() == static_cast<int>(answer.size()),
                             30000);
    QCOMPARE(program.status(0), QStringLiteral("获取歌单列表完成"));
    for (int i = 0; i < box->count(); ++i) {
      QCOMPARE(box->itemText(i),
               qt(answer[answer.size() - 1 - static_cast<std::size_t>(i)].diss_name));
    }
    QCOMPARE(box->currentIndex(), 0);
    QCOMPARE(box->currentText(), qt(answer.back().diss_name));

    ListTable& songs = globals.playlist_song_list;
    auto expect_songs_of = [&](int position) {
      test::RecordingUi quiet;
      std::vector<SongRow> rows;
      const Playlist& playlist = answer[answer.size() - 1 - static_cast<std::size_t>(position)];
      QVERIFY(fetch_playlist_songs(session, playlist.tid, globals.endpoints, rows, quiet));
      QTRY_VERIFY_WITH_TIMEOUT(
          program.status(0) == QStringLiteral("获取歌单完毕") && songs.row_count() == rows.size(),
          30000);
      for (std::size_t i = 0; i < rows.size(); ++i) {
        QCOMPARE(qt(songs.cell(i, song_column_mid)), qt(rows[i].mid));
      }
    };

    // The first item right after the fetch is the one "shown": choosing it loads nothing.
    emit box->activated(0);
    QCoreApplication::processEvents();
    QCOMPARE(program.app->workers().running(), 0);
    QCOMPARE(songs.row_count(), std::size_t{0});
    QCOMPARE(program.status(0), QStringLiteral("获取歌单列表完成"));

    box->setCurrentIndex(1);
    emit box->activated(1);
    expect_songs_of(1);
    program.window().set_status_text(0, {});
    box->setCurrentIndex(0);
    emit box->activated(0);
    expect_songs_of(0);
  }

  void update_notice_reaches_the_status_bar() {
    struct Case {
      const char* published;
      const char* status;
    };
    const Case cases[] = {{"1.9.1", "版本：1.9.1 最新：1.9"},
                          {"2.0.0", "版本：1.9.1 最新：点击更新"}};
    for (const Case& c : cases) {
      Program program({"--announce-version", c.published});
      QVERIFY2(program.standin.ok(), program.standin.startup_output().c_str());
      QTRY_COMPARE_WITH_TIMEOUT(program.status(1), QString::fromUtf8(c.status), 30000);
      // A click on the status bar opens the published download page.
      QTest::mouseClick(program.window().status_bar(), Qt::LeftButton, Qt::NoModifier,
                        QPoint(200, 10));
      QCOMPARE(program.opened.size(), 1);
      QVERIFY(program.opened[0].startsWith(QString::fromStdString(program.standin.http_base())));
    }
  }

  // A new user: searching asks for a login; closing the first login window changes nothing;
  // a click on the avatar box and a completed login on the stand-in's page sign in, and the
  // search then runs.
  void signing_in_through_the_avatar_box_enables_search() {
    Program program({}, false);
    QVERIFY2(program.standin.ok(), program.standin.startup_output().c_str());
    Globals& globals = program.globals();
    ClickLabel* avatar = program.window().avatar_box();
    QCOMPARE(avatar, program.control<ClickLabel>("图片框_头像"));
    auto* search = program.control<QPushButton>("按钮_搜索");
    program.control<QLineEdit>("编辑框_搜索歌曲")->setText(QStringLiteral("雨后的城市"));

    QTest::mouseClick(search, Qt::LeftButton);
    QCOMPARE(program.boxes.size(), std::size_t{1});
    QCOMPARE(program.boxes[0].text, QStringLiteral("请点击头像登录后使用"));
    QCOMPARE(program.app->workers().running(), 0);

    // The first window is closed once its page shows.
    const QImage default_avatar = built_in_picture(QStringLiteral("default_avatar")).toImage();
    avatar->setPixmap(QPixmap(8, 8));
    program.window().set_status_text(status_login, {});
    test::when_login_window_shows(this, test::close_after_page_loads);
    QTest::mouseClick(avatar, Qt::LeftButton);
    QVERIFY(!globals.session.logged_in());
    QCOMPARE(globals.session.snapshot().uin, std::string());
    QCOMPARE(program.status(status_login), QStringLiteral("状态：未登录"));
    QCOMPARE(avatar->pixmap().toImage(), default_avatar);

    // The second is used: the stand-in pads the account to "o0007654321".
    QPointer<LoginWindow> shown;
    test::when_login_window_shows(this, [&](LoginWindow* window) {
      shown = window;
      test::log_in_as(window, QStringLiteral("7654321"));
    });
    QTest::mouseClick(avatar, Qt::LeftButton);
    QVERIFY(shown.isNull() || !shown->isVisible());
    QCOMPARE(program.boxes.size(), std::size_t{1});  // no question on a first login

    const SessionRecord session = globals.session.snapshot();
    QVERIFY(session.logged_in);
    QCOMPARE(session.uin, std::string("7654321"));
    const QString skey = test::stored_skey();
    QVERIFY(skey.startsWith('@'));
    QCOMPARE(session.g_tk, gtk_hash(skey.toStdString()));
    QCOMPARE(program.status(status_login), QStringLiteral("状态：已登录"));

    const QImage round = avatar->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(round.size(), QSize(100, 100));
    QCOMPARE(qAlpha(round.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(round.pixel(99, 0)), 0);
    const std::string png = fetch_with_headers(
        avatar_address(globals.endpoints.avatar, session.uin), {}, globals.endpoints.http);
    QImage service_picture;
    QVERIFY(service_picture.loadFromData(reinterpret_cast<const uchar*>(png.data()),
                                         static_cast<int>(png.size())));
    QCOMPARE(round.pixel(50, 50),
             service_picture.convertToFormat(QImage::Format_ARGB32).pixel(50, 50));

    QTest::mouseClick(search, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(search->isEnabled() && program.app->workers().running() == 0, 30000);
    QCOMPARE(program.status(status_service), QStringLiteral("搜索完毕"));
    QVERIFY(find_row(globals.search_list, song_column_title, gbk("雨后的城市")) >= 0);
    QCOMPARE(program.boxes.size(), std::size_t{1});
  }
};

QTEST_MAIN(DesktopEndToEndTest)
#include "desktop_e2e_test.moc"

// The main window as the user meets it: side bar and pages, the song pop-up and the menu
// window, hover looks, the status-bar address and the exit confirmation.

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/globals.h"
#include "platform/codepage.h"
#include "settings/ini_file.h"
#include "settings/settings.h"
#include "support/list_view_clicks.h"
#include "support/recording_ui.h"
#include "ui/look.h"
#include "ui/main_window.h"

using namespace zarvex;

namespace {

std::string gbk(const char* utf8) {
  return gbk_from_utf8(utf8);
}

void move_mouse_over(QWidget* widget) {
  QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), widget->mapToGlobal(QPointF(3, 3)),
                   Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &move);
}

void click(QWidget* widget) {
  QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
}

using test::right_click;

// A Ui whose questions, like a real box, run the event loop until answered: for as long as it
// takes the progress timer to tick (or at most a few seconds) when `modal` is set.
class ModalUi : public test::RecordingUi {
 public:
  bool modal = false;
  bool ask_yes_no(std::string_view text, std::string_view caption, MessageIcon icon) override {
    if (modal) {
      const std::size_t before = ticks();
      static_cast<void>(QTest::qWaitFor([&] { return ticks() != before; }, 2500));
    }
    return RecordingUi::ask_yes_no(text, caption, icon);
  }

 private:
  std::size_t ticks() const {
    std::size_t n = 0;
    for (const auto& call : calls())
      n += call.kind == "status" && call.caption == "3";
    return n;
  }
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  // Every service address of the program points here, so a request that a test should not
  // cause reaches no other machine and is counted.
  QTcpServer sink_;
  int sink_connections_ = 0;
  std::unique_ptr<Globals> globals_;
  std::unique_ptr<ModalUi> ui_;
  std::unique_ptr<WorkerThreads> workers_;
  std::unique_ptr<MainWindow> window_;

  template <class W = QWidget>
  W* control(const char* name) {
    auto* widget = window_->findChild<W*>(QString::fromUtf8(name));
    if (!widget) qFatal("no control %s", name);
    return widget;
  }

 private slots:
  void initTestCase() {
    QVERIFY(sink_.listen(QHostAddress::LocalHost, 0));
    connect(&sink_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* socket = sink_.nextPendingConnection()) {
        ++sink_connections_;
        socket->abort();
        socket->deleteLater();
      }
    });
    const std::string base = "http://127.0.0.1:" + std::to_string(sink_.serverPort());
    const std::string file = settings_file_path(home_.path().toStdString());
    for (const char* key : {"api_https", "api_http", "media", "site", "login", "avatar"}) {
      QVERIFY(write_ini_value(file, "service", key, base));
    }
    QVERIFY(write_ini_value(file, "service", "cookie_hosts", "127.0.0.1"));
  }

  void init() {
    ui_ = std::make_unique<ModalUi>();
    globals_ = std::make_unique<Globals>(home_.path().toStdString(), *ui_);
    workers_ = std::make_unique<WorkerThreads>();
    window_ = std::make_unique<MainWindow>(*globals_, *ui_, *workers_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }

  void cleanup() {
    QCOMPARE(sink_connections_, 0);
    workers_->join_all();
    window_.reset();
    workers_.reset();
    globals_.reset();
    ui_.reset();
  }

  void every_control_has_its_place() {
    struct Place {
      const char* name;
      QRect geometry;
    };
    const Place places[] = {
        {"图形按钮_最小化", {560, 8, 32, 22}},
        {"图形按钮_菜单", {520, 8, 31, 27}},
        {"图片框_侧边栏", {0, 0, 176, 592}},
        {"图片框_头像", {40, 56, 96, 96}},
        {"标签_搜索歌曲", {16, 168, 144, 32}},
        {"图片框_侧边_本地", {24, 271, 24, 24}},
        {"标签_捐赠软件", {16, 312, 144, 32}},
        {"选择夹1", {176, 40, 480, 464}},
        {"状态条1", {0, 501, 645, 20}},
        {"编辑框_搜索歌曲", {9, 24, 359, 32}},
        {"超级列表框_搜索列表", {9, 72, 455, 352}},
        {"组合框_歌单列表", {6, 16, 456, 20}},
        {"超级列表框_下载列表", {8, 72, 456, 328}},
        {"按钮_打开下载目录", {365, 373, 96, 29}},
    };
    QCOMPARE(window_->size(), QSize(645, 521));
    QCOMPARE(window_->windowTitle(), QStringLiteral("Zarvex"));
    QVERIFY(window_->windowFlags() & Qt::FramelessWindowHint);
    for (const auto& place : places) {
      QCOMPARE(control(place.name)->geometry(), place.geometry);
    }
    // The close button lies in the title area.
    QCOMPARE(control("图形按钮_关闭")->parentWidget(), control("图片框_标题栏"));
    QCOMPARE(control("编辑框_搜索歌曲")->property("text").toString(),
             QStringLiteral("点击头像登录QQ账号后使用哟"));
  }

  void side_bar_selects_its_page() {
    const char* labels[] = {"标签_搜索歌曲", "标签_我喜欢的音乐", "标签_本地和下载",
                            "标签_捐赠软件"};
    const char* icons[] = {"图片框_侧边_音乐图标", "图片框_侧边_我喜欢", "图片框_侧边_本地"};
    QCOMPARE(window_->current_page(), 0);
    // Each entry, then the same entry again: the look and the page stay.
    for (int entry : {2, 2, 1, 3, 0, 0}) {
      click(control(labels[entry]));
      QCOMPARE(window_->current_page(), entry);
      for (int i = 0; i < 4; ++i) {
        const bool lit = i == entry;
        QCOMPARE(background_of(control(labels[i])),
                 lit ? side_highlight_colour : side_normal_colour);
        QCOMPARE(text_colour_of(control(labels[i])), lit ? white_text : black_text);
        if (i < 3) {
          QWidget* icon = control(icons[i]);
          QCOMPARE(background_of(icon), lit ? side_highlight_colour : side_normal_colour);
          // The white icon on the green, the dark one on the light background.
          const QImage picture = static_cast<QLabel*>(icon)->pixmap().toImage();
          QCOMPARE(picture.size(), QSize(18, 18));
          int white = 0, opaque = 0;
          for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 18; ++x) {
              const QColor c = picture.pixelColor(x, y);
              if (c.alpha() == 0) continue;
              ++opaque;
              if (c.red() > 200 && c.green() > 200 && c.blue() > 200) ++white;
            }
          QVERIFY(opaque > 0);
          QCOMPARE(white == opaque, lit);
        }
      }
    }
  }

  void song_popup_opens_only_over_a_selected_row() {
    globals_->search_list.add_row({"", "Song", "Singer"});
    globals_->playlist_song_list.add_row({"", "Other", "Singer"});
    QCoreApplication::processEvents();
    QCOMPARE(globals_->song_source.load(), 0);

    right_click(window_->search_view());
    QVERIFY(!window_->song_popup()->isVisible());
    QCOMPARE(globals_->song_source.load(), 0);

    struct Case {
      ListView* view;
      int source;
    };
    for (Case c : {Case{window_->playlist_view(), 2}, Case{window_->search_view(), 1}}) {
      c.view->table().set_selected(0);
      QCoreApplication::processEvents();
      right_click(c.view);
      QVERIFY(window_->song_popup()->isVisible());
      QCOMPARE(globals_->song_source.load(), c.source);
      window_->song_popup()->hide();
    }
    // Without a selection the last source stays.
    globals_->playlist_song_list.set_selected(-1);
    QCoreApplication::processEvents();
    right_click(window_->playlist_view());
    QVERIFY(!window_->song_popup()->isVisible());
    QCOMPARE(globals_->song_source.load(), 1);
  }

  void a_selection_in_the_view_reaches_the_table() {
    for (int i = 0; i < 3; ++i)
      globals_->search_list.add_row({"", "Song " + std::to_string(i)});
    QCoreApplication::processEvents();
    ListView* view = window_->search_view();
    const QRect second = view->visualRect(view->model()->index(1, 1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
    QCOMPARE(globals_->search_list.selected(), 1);
    // A worker refilling the table drops the selection; the view follows.
    globals_->search_list.clear();
    globals_->search_list.add_row({"", "New"});
    QTRY_COMPARE(view->selectionModel()->selectedRows().size(), 0);
    QCOMPARE(globals_->search_list.selected(), -1);
  }

  void pop_up_items_take_the_hover_colour_one_at_a_time() {
    struct Case {
      PopupWindow* popup;
      std::vector<const char*> pictures_sharing_hover;  // picture box k goes with item k
    };
    const Case cases[] = {
        {window_->song_popup(), {}},
        {window_->menu_window(), {"图片框1", "图片框2", "图片框3", "图片框4"}},
    };
    for (const Case& c : cases) {
      PopupWindow* popup = c.popup;
      popup->show_at(QPoint(40, 40));
      QCOMPARE(popup->highlighted_item(), -1);
      const int count = popup->item_count();
      for (int k : std::vector<int>{0, 1, 1, count - 1, 2}) {
        move_mouse_over(popup->item_label(k));
        QCOMPARE(popup->highlighted_item(), k);
        for (int i = 0; i < count; ++i) {
          const QColor expected = i == k ? hover_colour : item_colour;
          QCOMPARE(background_of(popup->item_label(i)), expected);
          if (i < static_cast<int>(c.pictures_sharing_hover.size())) {
            QCOMPARE(background_of(popup->findChild<QWidget*>(
                         QString::fromUtf8(c.pictures_sharing_hover[static_cast<std::size_t>(i)]))),
                     expected);
          }
        }
      }
      move_mouse_over(popup->shape());
      QCOMPARE(popup->highlighted_item(), -1);
      popup->hide();
    }
    // The song pop-up's badges keep their own look.
    QVERIFY(!background_of(window_->song_popup()->findChild<QWidget*>(QStringLiteral("图片框1")))
                 .isValid());
  }

  void pop_ups_hide_when_another_window_becomes_active() {
    for (PopupWindow* popup :
         std::initializer_list<PopupWindow*>{window_->song_popup(), window_->menu_window()}) {
      popup->show_at(QPoint(100, 120));
      QCOMPARE(popup->pos(), QPoint(100, 120));
      QTRY_VERIFY(popup->isActiveWindow());
      window_->activateWindow();
      QTRY_VERIFY(!popup->isVisible());
    }
  }

  void confirm_exit_asks_only_with_listed_downloads() {
    struct Case {
      int rows;
      bool answer;
      bool ends;
    };
    const Case cases[] = {{0, false, true}, {1, false, false}, {2, true, true}, {0, false, true}};
    ListTable& downloads = globals_->downloads.download_list();
    std::size_t questions = 0;
    for (const Case& c : cases) {
      downloads.clear();
      // Any status counts, a paused task too.
      for (int i = 0; i < c.rows; ++i)
        downloads.add_row({"1", "x", gbk("已暂停")});
      if (c.rows > 0) ui_->answer(c.answer);
      QSignalSpy ended(window_.get(), &MainWindow::end_program_requested);
      click(control("图形按钮_关闭"));
      QCOMPARE(ended.count(), c.ends ? 1 : 0);
      const auto asked = ui_->texts_of("ask");
      if (c.rows > 0) ++questions;
      QCOMPARE(asked.size(), questions);
      if (c.rows > 0) QCOMPARE(asked.back(), gbk("还有下载任务没有完成，是否要继续退出？"));
      QCOMPARE(downloads.row_count(), static_cast<std::size_t>(c.rows));
    }
    for (const auto& call : ui_->calls()) {
      if (call.kind == "ask") QVERIFY(call.caption.empty());  // the default caption
    }
  }

  void menu_exit_confirms_too() {
    globals_->downloads.download_list().add_row({"1", "x", gbk("正在下载")});
    QSignalSpy ended(window_.get(), &MainWindow::end_program_requested);
    window_->menu_window()->show_at(QPoint(10, 10));
    click(window_->menu_window()->item_label(3));
    QCOMPARE(ui_->texts_of("ask").size(), std::size_t{1});
    QCOMPARE(ended.count(), 0);
  }

  void status_bar_opens_only_a_web_address() {
    struct Case {
      const char* url;
      bool opens;
    };
    const Case cases[] = {{"", false},
                          {"https://example.org/zarvex", true},
                          {"file:///etc/passwd", false},
                          {"/bin/sh", false},
                          {"http://example.org/new", true}};
    std::size_t opened = 0;
    for (const Case& c : cases) {
      globals_->update_notice.publish(UpdateNotice{"2.0", c.url});
      QTest::mouseClick(window_->status_bar(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 10));
      const auto opens = ui_->texts_of("open");
      if (c.opens) {
        ++opened;
        QCOMPARE(opens.size(), opened);
        QCOMPARE(opens.back(), std::string(c.url));
      } else {
        QCOMPARE(opens.size(), opened);
      }
    }
  }

  void a_missing_format_is_refused_without_a_download() {
    globals_->search_list.add_row(
        {"", "Song", "Singer", "Album", "mid1", "128mp3320mp3", "1", "m1"});
    globals_->playlist_song_list.add_row({"", "Other", "S", "A", "mid2", "128mp3", "2", "m2"});
    struct Case {
      ListView* view;
      int selected;
      int quality;
    };
    const Case cases[] = {{window_->search_view(), 0, 4},
                          {window_->search_view(), 0, 3},
                          {window_->playlist_view(), 0, 2},
                          {window_->playlist_view(), 0, 3},
                          {window_->search_view(), -1, 1}};
    std::size_t refusals = 0;
    for (const Case& c : cases) {
      c.view->table().set_selected(c.selected);
      QCoreApplication::processEvents();
      if (c.selected >= 0) {
        right_click(c.view);
      } else {
        // No row: the pop-up does not open from the list; the last source stays.
        window_->open_song_popup(1);
      }
      QVERIFY(window_->song_popup()->isVisible());
      click(window_->song_popup()->quality_label(c.quality));
      QVERIFY(!window_->song_popup()->isVisible());
      const auto calls = ui_->calls();
      QCOMPARE(calls.size(), ++refusals);
      QCOMPARE(calls.back().kind, std::string("message"));
      QCOMPARE(calls.back().text, gbk("你要下载的音乐没有你选择的格式哟，请选择其他格式下载"));
      QCOMPARE(calls.back().caption, gbk("提示"));
      QCOMPARE(calls.back().icon, MessageIcon::information);
    }
    QCOMPARE(workers_->running(), 0);
    QCOMPARE(globals_->downloads.download_list().row_count(), std::size_t{0});
  }

  void title_area_drags_and_buttons_act() {
    // Where the window system cannot move the window itself, it follows the mouse.
    QWidget* title = control("图片框_标题栏");
    const QPoint start = window_->pos();
    const QPoint grab = title->mapToGlobal(QPoint(300, 20));
    auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
      QMouseEvent event(type, title->mapFromGlobal(QPointF(global)), QPointF(global),
                        type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                        Qt::NoModifier);
      QApplication::sendEvent(title, &event);
    };
    send(QEvent::MouseButtonPress, grab, Qt::LeftButton);
    send(QEvent::MouseMove, grab + QPoint(40, 25), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, grab + QPoint(40, 25), Qt::NoButton);
    QCOMPARE(window_->pos(), start + QPoint(40, 25));
    send(QEvent::MouseMove, grab + QPoint(90, 90), Qt::NoButton);  // released: stays
    QCOMPARE(window_->pos(), start + QPoint(40, 25));

    QCursor::setPos(QPoint(210, 160));
    click(control("图形按钮_菜单"));
    QVERIFY(window_->menu_window()->isVisible());
    QCOMPARE(window_->menu_window()->pos(), QCursor::pos());
    window_->menu_window()->hide();

    click(control("图形按钮_最小化"));
    QTRY_VERIFY(window_->windowState() & Qt::WindowMinimized);
  }

  void menu_items_open_their_windows() {
    struct Case {
      int item;
      const char* window;
    };
    for (const Case& c : {Case{0, "设置"}, Case{1, "关于软件"}}) {
      QString opened;
      QTimer::singleShot(0, this, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
          opened = modal->objectName();
          modal->close();
        }
      });
      window_->menu_window()->show_at(QPoint(10, 10));
      click(window_->menu_window()->item_label(c.item));
      QCOMPARE(opened, QString::fromUtf8(c.window));
    }
    // "复制歌曲信息" does nothing.
    window_->song_popup()->show_at(QPoint(10, 10));
    click(window_->song_popup()->item_label(4));
    QVERIFY(ui_->calls().empty());
  }

  void task_and_file_menus_act_on_the_selected_row() {
    ListTable& downloads = globals_->downloads.download_list();
    for (int i = 1; i <= 3; ++i) {
      downloads.add_row({std::to_string(i), "song" + std::to_string(i), gbk("正在下载"), "", "",
                         std::to_string(i)});
    }
    downloads.set_selected(1);
    QCoreApplication::processEvents();
    right_click(window_->download_view());
    MenuWindow* menus = window_->menu_window();
    QTRY_VERIFY(menus->task_menu()->isVisible());
    menus->task_menu()->hide();
    menus->pause_task_action()->trigger();
    QCOMPARE(downloads.cell(1, 2), gbk("已暂停"));
    QCOMPARE(downloads.cell(0, 2), gbk("正在下载"));
    ui_->answer(true);
    menus->delete_task_action()->trigger();
    QCOMPARE(ui_->texts_of("ask").back(), gbk("确定删除本下载任务吗？"));
    QCOMPARE(downloads.row_count(), std::size_t{2});
    QCOMPARE(downloads.cell(1, 1), std::string("song3"));
    QCOMPARE(downloads.cell(1, 0), std::string("2"));

    // The finished list: a real file in the download folder, deleted on Yes.
    const std::string folder = globals_->downloads.settings().snapshot().setdir;
    const QString song =
        QString::fromStdString(utf8_from_gbk(folder)) + QStringLiteral("/晴天.mp3");
    QFile file(song);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("ID3");
    file.close();
    globals_->downloads.refresh_finished_list();
    ListTable& finished = globals_->downloads.finished_list();
    QCOMPARE(finished.row_count(), std::size_t{1});
    finished.set_selected(0);
    QCoreApplication::processEvents();
    right_click(window_->finished_view());
    QTRY_VERIFY(menus->finished_menu()->isVisible());
    menus->finished_menu()->hide();
    ui_->answer(true);
    menus->delete_file_action()->trigger();
    QVERIFY(!QFile::exists(song));
    QCOMPARE(finished.row_count(), std::size_t{0});
  }

  void no_tick_moves_the_row_while_its_question_is_up() {
    ListTable& downloads = globals_->downloads.download_list();
    TaskProgressList& progress = globals_->downloads.progress();
    for (int task = 1; task <= 3; ++task) {
      progress.admit(task, "http://127.0.0.1:1/x", "/nonexistent/x");
      downloads.add_row({std::to_string(task), "song" + std::to_string(task), gbk("已暂停"), "",
                         task == 1 ? "100%" : "", std::to_string(task)});
    }
    // Task 1 is complete: the next tick removes its row, moving the others up.
    downloads.set_selected(2);
    QCoreApplication::processEvents();
    ui_->modal = true;
    ui_->answer(true);
    window_->menu_window()->delete_task_action()->trigger();
    ui_->modal = false;
    QTRY_COMPARE(downloads.row_count(), std::size_t{1});
    QCOMPARE(downloads.cell(0, 1), std::string("song2"));
  }

  void help_shows_its_text_in_one_box() {
    window_->menu_window()->show_at(QPoint(10, 10));
    click(window_->menu_window()->item_label(2));
    const auto calls = ui_->calls();
    QCOMPARE(calls.size(), std::size_t{1});
    QCOMPARE(calls[0].kind, std::string("message"));
    QCOMPARE(calls[0].icon, MessageIcon::information);
    QVERIFY(calls[0].caption.empty());
    const QString text = QString::fromStdString(utf8_from_gbk(calls[0].text));
    QCOMPARE(text.count(QStringLiteral("\r\n")), 4);
    QVERIFY(text.startsWith(QStringLiteral("1.一定要登录账号")));
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"

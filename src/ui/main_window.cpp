#include "ui/main_window.h"

#include <QCloseEvent>
#include <QCursor>
#include <QMouseEvent>
#include <QWindow>

#include "service/song_row.h"
#include "ui/built_in_picture.h"
#include "ui/decoration/shadow.h"
#include "ui/decoration/skin.h"
#include "ui/list_layouts.h"
#include "ui/login/search_placeholder.h"
#include "ui/look.h"
#include "ui/place.h"

namespace zarvex {
namespace {

struct SideEntry {
  const char* label_name;
  QRect label_place;
  const char* caption;
  const char* icon_name;  // nullptr: the entry has no icon
  QRect icon_place;
  const char* picture;
};

const SideEntry side_entries[] = {
    {"标签_搜索歌曲",
     {16, 168, 144, 32},
     "歌曲搜索",
     "图片框_侧边_音乐图标",
     {24, 175, 24, 24},
     "side_search"},
    {"标签_我喜欢的音乐",
     {16, 216, 144, 32},
     "我的歌单",
     "图片框_侧边_我喜欢",
     {24, 223, 24, 24},
     "side_playlist"},
    {"标签_本地和下载",
     {16, 264, 144, 32},
     "本地和下载",
     "图片框_侧边_本地",
     {24, 271, 24, 24},
     "side_local"},
    {"标签_捐赠软件", {16, 312, 144, 32}, "打赏与支持", nullptr, {}, nullptr},
};

QToolButton* picture_button(QWidget* parent, const char* name, QRect geometry,
                            const char* picture) {
  auto* button = place(new QToolButton(parent), name, geometry);
  button->setAutoRaise(true);
  button->setIcon(built_in_picture(QString::fromUtf8(picture)));
  button->setIconSize(QSize(16, 16));
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

}  // namespace

MainWindow::MainWindow(Globals& globals, Ui& ui, WorkerThreads& workers, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      globals_(globals),
      ui_(ui),
      workers_(workers),
      hq_badge_(built_in_picture(QStringLiteral("badge_hq"))),
      sq_badge_(built_in_picture(QStringLiteral("badge_sq"))) {
  setObjectName(QStringLiteral("主窗口"));
  setWindowTitle(QStringLiteral("Zarvex"));
  setFixedSize(645, 521);
  setAutoFillBackground(true);
  QPalette back = palette();
  back.setColor(QPalette::Window, Qt::white);
  setPalette(back);

  // Later controls lie above earlier ones: the side bar over the title area's left end, the
  // status bar over both.
  build_title_area();
  build_pages();
  build_side_bar();
  status_bar_ = place(new StatusBar(this), "状态条1", {0, 501, 645, 20});
  connect_controls();
  on_created();
}

void MainWindow::on_created() {
  apply_skin(globals_.skin_library);
  attach_shadow(this, 2);
  // The default avatar and the side bar with "歌曲搜索" lit were set up with the side bar.
  globals_.downloads.settings().load_settings();
  globals_.downloads.refresh_finished_list();
  // The badges went to the song lists with their views. The pop-ups are loaded once, hidden,
  // and only shown and hidden afterwards.
  song_popup_ = new SongPopup(hq_badge_, sq_badge_, this);
  song_popup_->setObjectName(QStringLiteral("歌曲弹出窗口"));
  menu_window_ = new MenuWindow(this);
  menu_window_->setObjectName(QStringLiteral("菜单窗口"));
  connect_pop_ups();
  start_update_notice();
  progress_timer_->start();
}

MainWindow::~MainWindow() {
  // The pop-ups go first, the song pop-up before the menu window.
  delete song_popup_;
  delete menu_window_;
}

void MainWindow::build_title_area() {
  title_area_ = place(new QLabel(this), "图片框_标题栏", {-8, 0, 664, 40});
  title_area_->setAutoFillBackground(true);
  title_area_->installEventFilter(this);
  // The close button sits in the title area; the others in the window.
  close_button_ = picture_button(title_area_, "图形按钮_关闭", {608, 8, 34, 23}, "title_close");
  minimise_button_ = picture_button(this, "图形按钮_最小化", {560, 8, 32, 22}, "title_minimise");
  menu_button_ = picture_button(this, "图形按钮_菜单", {520, 8, 31, 27}, "title_menu");
}

void MainWindow::build_side_bar() {
  side_bar_ = place(new QLabel(this), "图片框_侧边栏", {0, 0, 176, 592});
  set_background(side_bar_, side_normal_colour);

  auto* name =
      place(new QLabel(QStringLiteral("Zarvex 1.9.1"), side_bar_), "透明标签1", {8, 8, 168, 24});
  name->setAttribute(Qt::WA_TranslucentBackground);
  QFont bold = name->font();
  bold.setBold(true);
  name->setFont(bold);

  avatar_ = place(new ClickLabel(side_bar_), "图片框_头像", {40, 56, 96, 96});
  avatar_->setScaledContents(true);
  avatar_->setPixmap(built_in_picture(QStringLiteral("default_avatar")));
  avatar_->setCursor(Qt::PointingHandCursor);
  set_background(avatar_, side_normal_colour);

  for (int i = 0; i < 4; ++i) {
    const SideEntry& entry = side_entries[i];
    auto* label = place(new ClickLabel(QString::fromUtf8(entry.caption), side_bar_),
                        entry.label_name, entry.label_place);
    label->setAlignment(Qt::AlignCenter);
    label->setCursor(Qt::PointingHandCursor);
    side_labels_[static_cast<std::size_t>(i)] = label;
    connect(label, &ClickLabel::clicked, this, [this, i] { select_side_entry(i); });
    if (entry.icon_name) {
      auto* icon = place(new QLabel(side_bar_), entry.icon_name, entry.icon_place);
      icon->setAlignment(Qt::AlignCenter);
      side_icons_[static_cast<std::size_t>(i)] = icon;
    }
  }

  progress_timer_ = new QTimer(side_bar_);
  progress_timer_->setObjectName(QStringLiteral("时钟_下载信息获取"));
  progress_timer_->setInterval(1000);

  select_side_entry(0);
}

void MainWindow::draw_side_entry(int entry, bool highlighted) {
  if (entry < 0 || entry > 3) return;
  ClickLabel* label = side_labels_[static_cast<std::size_t>(entry)];
  const QColor& back = highlighted ? side_highlight_colour : side_normal_colour;
  set_background(label, back);
  set_text_colour(label, highlighted ? white_text : black_text);
  if (entry > 2) return;
  QLabel* icon = side_icons_[static_cast<std::size_t>(entry)];
  set_background(icon, back);
  icon->setPixmap(
      built_in_picture(QString::fromUtf8(side_entries[entry].picture) +
                       (highlighted ? QStringLiteral("_white") : QStringLiteral("_dark"))));
  icon->update();
}

void MainWindow::select_side_entry(int entry) {
  if (entry < 0 || entry > 3) return;
  for (int i = 0; i < 4; ++i)
    draw_side_entry(i, i == entry);
  pages_->set_current_page(entry);
}

void MainWindow::build_pages() {
  pages_ = place(new TabControl(this), "选择夹1", {176, 40, 480, 464});
  pages_->set_tabs_visible(false);
  build_search_page(pages_->add_page(QStringLiteral("歌曲搜索")));
  build_playlist_page(pages_->add_page(QStringLiteral("我的歌单")));
  build_download_page(pages_->add_page(QStringLiteral("本地和下载")));
  build_support_page(pages_->add_page(QStringLiteral("打赏与支持")));
}

void MainWindow::build_search_page(QWidget* page) {
  search_edit_ =
      place(new QLineEdit(search_placeholder_text(), page), "编辑框_搜索歌曲", {9, 24, 359, 32});
  // The invitation to log in leaves on a click into the box and comes back when it is empty.
  watch_search_box(search_edit_, globals_.session);
  search_button_ =
      place(new QPushButton(QStringLiteral("搜索"), page), "按钮_搜索", {376, 23, 88, 32});
  search_view_ =
      place(new ListView(globals_.search_list, song_list_widths(), {hq_badge_, sq_badge_}, page),
            "超级列表框_搜索列表", {9, 72, 455, 352});
  // "开启批量下载" has no action.
  place(new QPushButton(QStringLiteral("开启批量下载"), page), "按钮_批量下载选中",
        {357, 425, 104, 32});
}

void MainWindow::build_playlist_page(QWidget* page) {
  playlist_box_ = place(new QComboBox(page), "组合框_歌单列表", {6, 16, 456, 20});
  // The box shows the playlist names a worker writes into its table.
  playlist_box_->setModel(new ListTableModel(globals_.playlist_box, {}, playlist_box_));
  playlist_button_ = place(new QPushButton(QStringLiteral("获取歌单列表"), page),
                           "按钮_获取歌单列表", {376, 414, 88, 32});
  playlist_view_ = place(
      new ListView(globals_.playlist_song_list, song_list_widths(), {hq_badge_, sq_badge_}, page),
      "超级列表框_歌单列表", {6, 48, 456, 360});
}

void MainWindow::build_download_page(QWidget* page) {
  download_tabs_ = place(new TabControl(page), "选择夹2", {3, 24, 472, 408});
  QWidget* downloads = download_tabs_->add_page(QStringLiteral("下载列表"));
  start_all_button_ = place(new QPushButton(QStringLiteral("全部开始"), downloads),
                            "按钮_下载_全部开始", {8, 32, 80, 32});
  pause_all_button_ = place(new QPushButton(QStringLiteral("全部暂停"), downloads),
                            "按钮_下载_全部暂停", {96, 32, 80, 32});
  download_view_ =
      place(new ListView(globals_.downloads.download_list(), download_list_widths, {}, downloads),
            "超级列表框_下载列表", {8, 72, 456, 328});
  QWidget* finished = download_tabs_->add_page(QStringLiteral("已完成"));
  finished_view_ =
      place(new ListView(globals_.downloads.finished_list(), finished_list_widths, {}, finished),
            "超级列表框_已完成列表", {8, 26, 456, 342});
  open_folder_button_ = place(new QPushButton(QStringLiteral("打开下载目录"), finished),
                              "按钮_打开下载目录", {365, 373, 96, 29});
}

void MainWindow::build_support_page(QWidget* page) {
  auto* note = place(new QLabel(QStringLiteral("谢谢你使用 Zarvex！如果它帮你找回了喜欢的歌，"
                                               "欢迎请作者喝杯咖啡，一点小小的打赏就是"
                                               "作者继续更新的动力。"),
                                page),
                     "标签1", {16, 32, 432, 64});
  note->setWordWrap(true);
  auto* left = place(new QLabel(page), "图片框1", {8, 112, 224, 256});
  left->setPixmap(built_in_picture(QStringLiteral("support_1")));
  auto* right = place(new QLabel(page), "图片框2", {240, 112, 224, 256});
  right->setPixmap(built_in_picture(QStringLiteral("support_2")));
}

void MainWindow::open_song_popup(int source) {
  globals_.song_source = source;
  song_popup_->show_at(QCursor::pos());
}

void MainWindow::open_menu_window() {
  menu_window_->show_at(QCursor::pos());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == title_area_) {
    // Pressing the left button on the title area moves the window with the mouse: the window
    // system does it where it can, otherwise the window follows the mouse itself.
    if (event->type() == QEvent::MouseButtonPress) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton) {
        QWindow* window = windowHandle();
        dragging_ = !(window && window->startSystemMove());
        drag_offset_ = mouse->globalPosition().toPoint() - frameGeometry().topLeft();
        return true;
      }
    } else if (event->type() == QEvent::MouseMove && dragging_) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->buttons() & Qt::LeftButton) move(mouse->globalPosition().toPoint() - drag_offset_);
      return true;
    } else if (event->type() == QEvent::MouseButtonRelease) {
      dragging_ = false;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The program ends only through the exit confirmation.
  event->ignore();
  confirm_exit();
}

}  // namespace zarvex

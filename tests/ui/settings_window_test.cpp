// The settings window: it shows the file as it is, stores what is typed, asks before keeping a
// custom pattern without the song name, appends placeholders and asks before drive C.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/codepage.h"
#include "settings/ini_file.h"
#include "settings/settings.h"
#include "support/recording_ui.h"
#include "ui/settings_window.h"

using namespace zarvex;

namespace {

std::string gbk(const char* utf8) {
  return gbk_from_utf8(utf8);
}

}  // namespace

class SettingsWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  std::unique_ptr<SettingsStore> store_;
  std::unique_ptr<test::RecordingUi> ui_;

  std::string file() const { return settings_file_path(home_.path().toStdString()); }
  std::string stored(const char* key) const {
    return read_ini_value(file(), "musicset", key, "<none>");
  }

  template <class W>
  static W* control(SettingsWindow& window, const char* name) {
    auto* widget = window.findChild<W*>(QString::fromUtf8(name));
    if (!widget) qFatal("no control %s", name);
    return widget;
  }
  static QLineEdit* edit(SettingsWindow& window, const char* name) {
    return control<QLineEdit>(window, name);
  }
  static QRadioButton* rule(SettingsWindow& window, int n) {
    return control<QRadioButton>(window, ("单选框_命名_" + std::to_string(n)).c_str());
  }

 private slots:
  void init() {
    QDir(home_.path()).removeRecursively();
    QDir().mkpath(home_.path() + QStringLiteral("/data"));
    store_ = std::make_unique<SettingsStore>(home_.path().toStdString());
    ui_ = std::make_unique<test::RecordingUi>();
  }

  void shows_the_file_and_stores_what_is_typed() {
    const std::string folder = home_.path().toStdString() + "/" + gbk("音乐");
    struct Key {
      const char* key;
      std::string value;
    };
    for (const Key& k :
         {Key{"setdir", folder}, Key{"downth", "5"}, Key{"downnum", "2"}, Key{"nametype", "4"},
          Key{"customname", gbk("%歌手%_%歌曲名%")}, Key{"downlrc", "0"}}) {
      QVERIFY(write_ini_value(file(), "musicset", k.key, k.value));
    }
    SettingsWindow window(*store_, *ui_);
    QCOMPARE(window.windowTitle(), QStringLiteral("设置"));
    QCOMPARE(window.size(), QSize(475, 391));
    QCOMPARE(edit(window, "编辑框_歌曲保存目录")->text(),
             QString::fromStdString(utf8_from_gbk(folder)));
    QCOMPARE(edit(window, "编辑框_下载线程数量")->text(), QStringLiteral("5"));
    QCOMPARE(edit(window, "编辑框_同时下载任务")->text(), QStringLiteral("2"));
    QCOMPARE(edit(window, "编辑框_自定义类型")->text(), QStringLiteral("%歌手%_%歌曲名%"));
    for (int n = 1; n <= 5; ++n)
      QCOMPARE(rule(window, n)->isChecked(), n == 4);
    QVERIFY(!control<QCheckBox>(window, "选择框_开启歌词菜单")->isChecked());

    // Typed as the user likes, stored as typed, and the record follows at once.
    edit(window, "编辑框_下载线程数量")->setText(QStringLiteral("８abc"));
    edit(window, "编辑框_同时下载任务")->setText(QStringLiteral("4"));
    rule(window, 1)->setChecked(true);
    control<QCheckBox>(window, "选择框_开启歌词菜单")->setChecked(true);
    QTest::mouseClick(control<QPushButton>(window, "按钮_保存"), Qt::LeftButton);
    QCOMPARE(stored("downth"), gbk("８abc"));
    QCOMPARE(stored("downnum"), "4");
    QCOMPARE(stored("nametype"), "1");
    QCOMPARE(stored("downlrc"), "1");
    QCOMPARE(stored("setdir"), folder);
    const Settings now = store_->snapshot();
    QCOMPARE(now.downth, 8);
    QCOMPARE(now.downnum, 4);
    QCOMPARE(now.nametype, 1);
    QVERIFY(now.downlrc);
    QVERIFY(ui_->calls().empty());

    // Reopened, the window shows what was stored.
    SettingsWindow again(*store_, *ui_);
    QCOMPARE(edit(again, "编辑框_下载线程数量")->text(), QStringLiteral("8"));
    QVERIFY(rule(again, 1)->isChecked());
  }

  void an_unknown_rule_checks_nothing_and_stores_zero() {
    QVERIFY(write_ini_value(file(), "musicset", "nametype", "7"));
    SettingsWindow window(*store_, *ui_);
    for (int n = 1; n <= 5; ++n)
      QVERIFY(!rule(window, n)->isChecked());
    window.apply();
    QCOMPARE(stored("nametype"), "0");
  }

  void custom_pattern_without_song_name_asks_first() {
    struct Case {
      const char* pattern;
      bool asked;
      bool answer;
      bool close;  // "确定" instead of "应用"
      bool saved;
      const char* box_after;
    };
    const Case cases[] = {
        {"%歌手%-%专辑名%", true, false, false, false, "%歌曲名%-%歌手%"},
        {"%歌手%-%专辑名%", true, true, false, true, "%歌手%-%专辑名%"},
        {"%歌曲名%", false, false, false, true, "%歌曲名%"},
        {"fixed", true, false, true, false, nullptr},
    };
    for (const Case& c : cases) {
      init();
      QVERIFY(write_ini_value(file(), "musicset", "customname", "before"));
      SettingsWindow window(*store_, *ui_);
      rule(window, 5)->setChecked(true);
      edit(window, "编辑框_自定义类型")->setText(QString::fromUtf8(c.pattern));
      if (c.asked) ui_->answer(c.answer);
      window.show();
      const char* button = c.close ? "按钮_确定" : "按钮_保存";
      QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
      const auto asked = ui_->texts_of("ask");
      QCOMPARE(asked.size(), std::size_t{c.asked ? 1u : 0u});
      if (c.asked) {
        QCOMPARE(
            asked[0],
            gbk("你没有设置%歌曲名%变量，这样做可能下载多首歌曲，都是同一个文件名，确定继续吗？"));
      }
      QCOMPARE(stored("customname"), c.saved ? gbk(c.pattern) : std::string("before"));
      QCOMPARE(stored("nametype"), c.saved ? "5" : "<none>");
      QCOMPARE(window.isVisible(), !c.close);
      if (c.box_after) {
        QCOMPARE(edit(window, "编辑框_自定义类型")->text(), QString::fromUtf8(c.box_after));
      }
    }
  }

  void placeholders_go_to_the_end_of_the_pattern() {
    SettingsWindow window(*store_, *ui_);
    QLineEdit* pattern = edit(window, "编辑框_自定义类型");
    pattern->setText(QStringLiteral("A"));
    const auto actions = window.placeholder_menu()->actions();
    QCOMPARE(actions.size(), 3);
    QCOMPARE(actions[0]->text(), QStringLiteral("%歌手%"));
    actions[1]->trigger();
    actions[1]->trigger();
    actions[2]->trigger();
    QCOMPARE(pattern->text(), QStringLiteral("A%歌曲名%%歌曲名%%专辑名%"));
    for (int n = 1; n <= 5; ++n)
      QCOMPARE(rule(window, n)->isChecked(), n == 2);  // the default
  }

  void a_folder_on_drive_c_is_taken_only_on_yes() {
    struct Case {
      const char* chosen;
      bool asked;
      bool answer;
      bool taken;
    };
    const Case cases[] = {{"C:/Music", true, false, false},
                          {"c:/music", true, true, true},
                          {"D:/Music", false, false, true},
                          {"/home/user/Music", false, false, true},
                          {"", false, false, false}};
    for (const Case& c : cases) {
      init();
      SettingsWindow window(*store_, *ui_);
      QLineEdit* folder = edit(window, "编辑框_歌曲保存目录");
      const QString before = folder->text();
      QString title, start;
      window.set_folder_chooser([&](QWidget*, const QString& t, const QString& s) {
        title = t;
        start = s;
        return QString::fromUtf8(c.chosen);
      });
      if (c.asked) ui_->answer(c.answer);
      QTest::mouseClick(control<QPushButton>(window, "按钮_浏览"), Qt::LeftButton);
      QCOMPARE(title, QStringLiteral("请选择下载保存目录"));
      QCOMPARE(start, before);
      const auto calls = ui_->calls();
      QCOMPARE(calls.size(), std::size_t{c.asked ? 1u : 0u});
      if (c.asked) {
        QCOMPARE(calls[0].text, gbk("提示，保存到C盘需要管理员权限，你确定放这儿吗"));
        QCOMPARE(calls[0].caption, gbk("提示"));
        QCOMPARE(calls[0].icon, MessageIcon::information);
      }
      QCOMPARE(folder->text(), c.taken ? QString::fromUtf8(c.chosen) : before);
      // Only applying changes the file.
      QCOMPARE(stored("setdir"), "<none>");
    }
  }
};

QTEST_MAIN(SettingsWindowTest)
#include "settings_window_test.moc"

// The desktop's Ui port: workers' calls reach the widgets only through the GUI thread, boxes
// carry their texts and captions, questions from a worker wait for the answer.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <thread>

#include "platform/codepage.h"
#include "ui/qt_ui.h"
#include "ui/status_bar.h"

using namespace zarvex;

namespace {

std::string gbk(const char* utf8) {
  return gbk_from_utf8(utf8);
}

struct Window {
  QWidget root;
  StatusBar* status;
  QPushButton* button;
  QLineEdit* edit;
  Window() {
    status = new StatusBar(&root);
    status->setObjectName(QStringLiteral("状态条1"));
    button = new QPushButton(&root);
    button->setObjectName(QStringLiteral("按钮_搜索"));
    edit = new QLineEdit(QStringLiteral("起初"), &root);
    edit->setObjectName(QStringLiteral("编辑框_搜索歌曲"));
  }
};

}  // namespace

class QtUiTest : public QObject {
  Q_OBJECT

 private slots:
  void worker_calls_act_on_the_gui_thread() {
    Window window;
    QtUi ui;
    ui.attach(&window.root);
    std::vector<QtUi::Box> boxes;
    std::vector<bool> on_gui;
    ui.set_box_handler([&](const QtUi::Box& box) {
      boxes.push_back(box);
      on_gui.push_back(QThread::currentThread() == window.root.thread());
      return true;
    });
    std::thread worker([&] {
      ui.set_status_text(0, gbk("正在搜索，请稍后"));
      ui.set_enabled("按钮_搜索", false);
      ui.message(gbk("当前任务已经存在"), {}, MessageIcon::information);
      ui.message("x", gbk("提示"), MessageIcon::warning);
    });
    worker.join();
    // Nothing has touched a widget yet: the worker only posted.
    QVERIFY(window.status->text(0).isEmpty());
    QVERIFY(window.button->isEnabled());
    QVERIFY(boxes.empty());
    QTRY_COMPARE(boxes.size(), std::size_t{2});
    QCOMPARE(window.status->text(0), QStringLiteral("正在搜索，请稍后"));
    QVERIFY(!window.button->isEnabled());
    QCOMPARE(boxes[0].text, QStringLiteral("当前任务已经存在"));
    QCOMPARE(boxes[0].caption, QStringLiteral("信息："));
    QCOMPARE(boxes[0].icon, MessageIcon::information);
    QVERIFY(!boxes[0].question);
    QCOMPARE(boxes[1].caption, QStringLiteral("提示"));
    QCOMPARE(on_gui, (std::vector<bool>{true, true}));
  }

  void a_worker_question_waits_for_the_answer() {
    Window window;
    QtUi ui;
    ui.attach(&window.root);
    std::vector<bool> answers = {true, false};
    std::size_t asked = 0;
    ui.set_box_handler([&](const QtUi::Box& box) {
      if (!box.question) return false;
      return static_cast<bool>(answers[asked++]);
    });
    std::atomic<int> results[2] = {-1, -1};
    std::thread worker([&] {
      results[0] = ui.ask_yes_no(gbk("确定删除本下载任务吗？"), {}, MessageIcon::none);
      results[1] = ui.ask_yes_no("again", {}, MessageIcon::none);
    });
    QTRY_COMPARE(results[1].load(), 0);
    worker.join();
    QCOMPARE(results[0].load(), 1);
    QCOMPARE(asked, std::size_t{2});
    // On the GUI thread the box is asked at once.
    answers = {true};
    asked = 0;
    QVERIFY(ui.ask_yes_no("now", {}, MessageIcon::none));
  }

  void a_question_open_when_the_program_closes_is_no() {
    Window window;
    QtUi ui;
    ui.attach(&window.root);
    std::atomic<int> result{-1};
    bool woke_while_open = false;
    ui.set_box_handler([&](const QtUi::Box&) {
      // The box is up; the program closes before the user answers.
      ui.close();
      for (int i = 0; i < 1000 && result == -1; ++i)
        QThread::msleep(10);
      woke_while_open = result == 0;
      return true;
    });
    std::thread worker([&] { result = ui.ask_yes_no("leave?", {}, MessageIcon::none); });
    QTRY_VERIFY(result != -1);
    worker.join();
    QVERIFY(woke_while_open);
    QCOMPARE(result.load(), 0);
    // Later questions are No at once, without a box.
    std::thread late([&] { result = ui.ask_yes_no("again?", {}, MessageIcon::none); });
    late.join();
    QCOMPARE(result.load(), 0);
  }

  void workers_read_inputs_without_waiting() {
    Window window;
    auto* box = new QComboBox(&window.root);
    box->setObjectName(QStringLiteral("组合框_歌单列表"));
    box->addItems({QStringLiteral("Folk"), QStringLiteral("摇滚")});
    QtUi ui;
    ui.attach(&window.root);
    window.edit->setText(QStringLiteral("周杰伦 晴天"));
    box->setCurrentIndex(1);
    std::string text, combo, gbk_named, missing;
    std::thread worker([&] {
      text = ui.read_text("编辑框_搜索歌曲");
      gbk_named = ui.read_text(gbk("编辑框_搜索歌曲"));
      combo = ui.read_text("组合框_歌单列表");
      missing = ui.read_text("编辑框_没有");
    });
    worker.join();
    QCOMPARE(text, gbk("周杰伦 晴天"));
    QCOMPARE(gbk_named, text);
    QCOMPARE(combo, gbk("摇滚"));
    QVERIFY(missing.empty());
  }

  void opens_only_web_addresses_and_folders() {
    Window window;
    QtUi ui;
    ui.attach(&window.root);
    QStringList opened;
    ui.set_open_handler([&](const QString& address) { opened << address; });
    QTemporaryDir folder;
    const std::string file = folder.path().toStdString() + "/song.mp3";
    QFile(QString::fromStdString(file)).open(QIODevice::WriteOnly);
    ui.open_url("https://example.org/a");
    ui.open_url(folder.path().toStdString());
    ui.open_url(file);
    ui.open_url("/bin/sh");
    ui.open_url("");
    ui.open_url("file:///etc/passwd");
    QCOMPARE(opened.size(), 2);
    QCOMPARE(opened[0], QStringLiteral("https://example.org/a"));
    QCOMPARE(QUrl(opened[1]).toLocalFile(), folder.path());
  }
};

QTEST_MAIN(QtUiTest)
#include "qt_ui_test.moc"

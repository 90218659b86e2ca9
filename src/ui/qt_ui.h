#pragma once
// The Ui port of the desktop program. Calls from the GUI thread act at once; calls from a
// worker are posted to the GUI thread, so no worker touches a widget. A message box asked for
// by a worker is shown by the GUI thread while the worker goes on; only a Yes/No question makes
// its worker wait for the answer. Texts arrive as GBK and become QString here.

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "platform/ui_port.h"
#include "ui/status_bar.h"

namespace zarvex {

class QtUi : public QObject, public Ui {
  Q_OBJECT
 public:
  // A box as the user would see it.
  struct Box {
    QString text;
    QString caption;  // "信息：" when the caller gave none
    MessageIcon icon = MessageIcon::none;
    bool question = false;  // Yes/No instead of OK
  };
  // Shows a box and returns true for Yes (questions only). Tests answer boxes with it.
  using BoxHandler = std::function<bool(const Box&)>;
  // Opens an address or folder (tests record it instead).
  using OpenHandler = std::function<void(const QString& address)>;

  explicit QtUi(QObject* parent = nullptr);
  // Calls close().
  ~QtUi() override;

  // The program is closing: questions still waiting for the GUI thread, and any asked from
  // now on, are answered No, so no worker waits for a box that will never be answered.
  void close();

  // The window whose controls, status bar and inputs the port reaches by object name; it also
  // owns the boxes. Its status bar and inputs are the ones it has now. Inputs (line edits, combo
  // boxes) are watched from now on, so a worker reads their text without waiting for the GUI
  // thread.
  void attach(QWidget* root);
  void set_box_handler(BoxHandler handler);
  void set_open_handler(OpenHandler handler);

  void set_status_text(int part, std::string_view text) override;
  void message(std::string_view text, std::string_view caption, MessageIcon icon) override;
  bool ask_yes_no(std::string_view text, std::string_view caption, MessageIcon icon) override;
  void set_clipboard(std::string_view text) override;
  void open_url(std::string_view address) override;
  void set_enabled(std::string_view control_name, bool enabled) override;
  std::string read_text(std::string_view control_name) override;

 private:
  bool on_gui_thread() const;
  void post(std::function<void()> action);
  // Runs `action` now on the GUI thread, or posts it there from a worker.
  void on_gui(std::function<void()> action);
  bool show_box(const Box& box);
  QWidget* find_control(const std::string& name) const;
  void watch_inputs(QWidget* root);

  QPointer<QWidget> root_;
  QPointer<StatusBar> status_bar_;  // "状态条1" of the root, found once
  BoxHandler box_handler_;
  OpenHandler open_handler_;

  std::mutex text_mutex_;
  std::map<QString, std::string> input_texts_;  // GBK, by object name

  std::mutex question_mutex_;
  std::condition_variable question_answered_;
  bool closing_ = false;
};

// The control name a core routine passes (UTF-8, or GBK from a converted text) as an object name.
QString control_object_name(std::string_view name);

}  // namespace zarvex

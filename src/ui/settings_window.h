#pragma once
// The settings window "设置": download folder (with a folder chooser), connections per task,
// simultaneous tasks, the naming rule with its custom pattern and placeholder menu, and lyrics.
// It shows the settings file as it is each time it opens; "应用" stores what is typed,
// "确定" stores it and closes.

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <array>
#include <functional>

#include "platform/ui_port.h"
#include "settings/settings.h"

namespace zarvex {

class SettingsWindow : public QDialog {
  Q_OBJECT
 public:
  // Chooses a folder: (owner, title, start folder) → the folder, or "" when cancelled.
  using FolderChooser = std::function<QString(QWidget*, const QString&, const QString&)>;

  SettingsWindow(SettingsStore& store, Ui& ui, QWidget* parent = nullptr);

  // "应用": stores what the controls hold (after the custom-pattern question).
  void apply();
  // "确定": apply, then close, also when the user declined to keep the pattern.
  void apply_and_close();
  // "浏览(&L)": the folder chooser, with the question about drive C.
  void browse();
  // An item of the placeholder menu: its text goes to the end of the custom pattern.
  void append_placeholder(const QString& placeholder);
  // The placeholder menu "命名菜单".
  QMenu* placeholder_menu() const { return placeholder_menu_; }

  void set_folder_chooser(FolderChooser chooser) { choose_folder_ = std::move(chooser); }

 private:
  void fill_from_settings();

  SettingsStore& store_;
  Ui& ui_;
  FolderChooser choose_folder_;
  QLineEdit* folder_ = nullptr;
  QLineEdit* connections_ = nullptr;
  QLineEdit* simultaneous_ = nullptr;
  std::array<QRadioButton*, 5> rules_{};
  QLineEdit* custom_ = nullptr;
  QCheckBox* lyrics_ = nullptr;
  QMenu* placeholder_menu_ = nullptr;
};

// The folder chooser of the system: a folder browser opened at `start`, blanks at both ends of
// the result removed; "" when cancelled.
QString choose_folder(QWidget* owner, const QString& title, const QString& start);

}  // namespace zarvex

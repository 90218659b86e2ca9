#pragma once
// Everything a routine shows or asks besides list tables. The desktop program posts each
// call to the GUI thread, the terminal client prints, tests record. Texts are GBK.

#include <string>
#include <string_view>

namespace zarvex {

enum class MessageIcon { none, information, warning, error, question };

// The status bar's four parts.
enum StatusPart : int {
  status_service = 0,   // progress of the service client
  status_version = 1,   // version notice
  status_login = 2,     // login state
  status_download = 3,  // download information
};

class Ui {
 public:
  virtual ~Ui() = default;

  virtual void set_status_text(int part, std::string_view text) = 0;
  // A box with an OK button; an empty caption shows the default "信息：". Never blocks a
  // worker: the desktop program shows it from its GUI thread.
  virtual void message(std::string_view text, std::string_view caption = {},
                       MessageIcon icon = MessageIcon::none) = 0;
  // A Yes/No question; true on Yes. Asked on the GUI thread (or a terminal prompt).
  virtual bool ask_yes_no(std::string_view text, std::string_view caption = {},
                          MessageIcon icon = MessageIcon::none) = 0;
  virtual void set_clipboard(std::string_view text) = 0;
  // Hands an address or a folder to the desktop to open.
  virtual void open_url(std::string_view address) = 0;
  // Enables or disables the control of that name (e.g. "按钮_搜索").
  virtual void set_enabled(std::string_view control_name, bool enabled) = 0;
  // The current text of an input control (e.g. "编辑框_搜索歌曲").
  virtual std::string read_text(std::string_view control_name) = 0;
};

}  // namespace zarvex

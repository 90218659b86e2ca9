#pragma once
// The Ui port for a terminal: messages and status texts go to stderr in UTF-8, a question is
// asked on the terminal when stdin is one and answered "no" otherwise, an address is handed
// to xdg-open. There are no buttons to enable; the clipboard and input texts are kept here.

#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/ui_port.h"

namespace zarvex::cli {

class TerminalUi : public Ui {
 public:
  // quiet: status texts are not printed (messages and questions still are).
  explicit TerminalUi(bool quiet = false) : quiet_(quiet) {}

  void set_status_text(int part, std::string_view text) override;
  void message(std::string_view text, std::string_view caption, MessageIcon icon) override;
  bool ask_yes_no(std::string_view text, std::string_view caption, MessageIcon icon) override;
  void set_clipboard(std::string_view text) override;
  void open_url(std::string_view address) override;
  void set_enabled(std::string_view control_name, bool enabled) override;
  std::string read_text(std::string_view control_name) override;

  // What a command puts into an input control before a routine reads it (GBK).
  void set_text(std::string_view control_name, std::string text);
  // The last text put on the clipboard (GBK).
  std::string clipboard() const;

 private:
  void print_line(const std::string& utf8);

  const bool quiet_;
  mutable std::mutex mutex_;
  std::map<std::string, std::string, std::less<>> texts_;
  std::string clipboard_;
};

}  // namespace zarvex::cli

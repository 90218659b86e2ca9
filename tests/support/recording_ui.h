#pragma once
// A Ui that records every call and answers questions from a script, for tests.

#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui_port.h"

namespace zarvex::test {

struct UiCall {
  std::string kind;  // "status", "message", "ask", "clipboard", "open", "enable"
  std::string text;
  std::string caption;  // for status: the part number; for enable: "1" or "0"
  MessageIcon icon = MessageIcon::none;
};

class RecordingUi : public Ui {
 public:
  void set_status_text(int part, std::string_view text) override {
    record({"status", std::string(text), std::to_string(part), MessageIcon::none});
    std::lock_guard lock(mutex_);
    if (part >= 0 && part < 4) status_[part] = std::string(text);
  }
  void message(std::string_view text, std::string_view caption, MessageIcon icon) override {
    record({"message", std::string(text), std::string(caption), icon});
  }
  bool ask_yes_no(std::string_view text, std::string_view caption, MessageIcon icon) override {
    record({"ask", std::string(text), std::string(caption), icon});
    std::lock_guard lock(mutex_);
    if (answers_.empty()) return false;
    bool answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  void set_clipboard(std::string_view text) override {
    record({"clipboard", std::string(text), {}, MessageIcon::none});
  }
  void open_url(std::string_view address) override {
    record({"open", std::string(address), {}, MessageIcon::none});
  }
  void set_enabled(std::string_view name, bool enabled) override {
    record({"enable", std::string(name), enabled ? "1" : "0", MessageIcon::none});
  }
  // Every input control is empty.
  std::string read_text(std::string_view) override { return {}; }

  // Script: the next ask_yes_no answers (false once they run out).
  void answer(bool yes) {
    std::lock_guard lock(mutex_);
    answers_.push_back(yes);
  }

  std::vector<UiCall> calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
  }
  std::vector<std::string> texts_of(std::string_view kind) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    for (const auto& c : calls_)
      if (c.kind == kind) out.push_back(c.text);
    return out;
  }
  std::string status(int part) const {
    std::lock_guard lock(mutex_);
    return (part >= 0 && part < 4) ? status_[part] : std::string();
  }

 private:
  void record(UiCall call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
  }

  mutable std::mutex mutex_;
  std::vector<UiCall> calls_;
  std::deque<bool> answers_;
  std::string status_[4];
};

}  // namespace zarvex::test

#include "terminal_ui.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "platform/codepage.h"

extern char** environ;

namespace zarvex::cli {
namespace {

// The caption a box shows when it has none of its own.
const std::string& default_caption() {
  static const std::string caption = "信息：";
  return caption;
}

}  // namespace

void TerminalUi::print_line(const std::string& utf8) {
  std::lock_guard lock(mutex_);
  std::fprintf(stderr, "%s\n", utf8.c_str());
  std::fflush(stderr);
}

void TerminalUi::set_status_text(int, std::string_view text) {
  if (quiet_ || text.empty()) return;
  print_line(utf8_from_gbk(text));
}

void TerminalUi::message(std::string_view text, std::string_view caption, MessageIcon) {
  std::string head = caption.empty() ? default_caption() : utf8_from_gbk(caption) + ": ";
  print_line(head + utf8_from_gbk(text));
}

bool TerminalUi::ask_yes_no(std::string_view text, std::string_view caption, MessageIcon) {
  std::string head = caption.empty() ? default_caption() : utf8_from_gbk(caption) + ": ";
  std::string question = head + utf8_from_gbk(text);
  if (!::isatty(STDIN_FILENO)) {
    print_line(question + " [y/N] n");
    return false;
  }
  std::lock_guard lock(mutex_);
  std::fprintf(stderr, "%s [y/N] ", question.c_str());
  std::fflush(stderr);
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

void TerminalUi::set_clipboard(std::string_view text) {
  std::lock_guard lock(mutex_);
  clipboard_ = std::string(text);
}

std::string TerminalUi::clipboard() const {
  std::lock_guard lock(mutex_);
  return clipboard_;
}

void TerminalUi::open_url(std::string_view address) {
  std::string target = utf8_from_gbk(address);
  std::string program = "xdg-open";
  char* argv[] = {program.data(), target.data(), nullptr};
  pid_t pid = -1;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) == 0) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return;
  }
  print_line("open: " + target);
}

void TerminalUi::set_enabled(std::string_view, bool) {}

void TerminalUi::set_text(std::string_view control_name, std::string text) {
  std::lock_guard lock(mutex_);
  texts_[std::string(control_name)] = std::move(text);
}

std::string TerminalUi::read_text(std::string_view control_name) {
  std::lock_guard lock(mutex_);
  auto it = texts_.find(control_name);
  return it == texts_.end() ? std::string() : it->second;
}

}  // namespace zarvex::cli

#include "app/app.h"

#include <cstdio>
#include <cstdlib>

namespace zarvex {

App::App(const std::string& program_folder) : globals_(program_folder, ui_) {
  window_ = std::make_unique<MainWindow>(globals_, ui_, workers_);
  ui_.attach(window_.get());
}

App::~App() {
  // Only tests get here: the program itself leaves through end_program. Workers go first, as
  // they use the window's port and the globals.
  ui_.close();
  workers_.join_all();
  window_.reset();
}

void end_program() {
  std::fflush(nullptr);
  std::_Exit(0);
}

}  // namespace zarvex

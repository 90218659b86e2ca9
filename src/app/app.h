#pragma once
// The running program: the Ui port, the globals, the worker threads and the main window, built
// in that order. It is never destroyed while the program runs: the program ends through
// end_program, which leaves the process without freeing what a worker may still use.

#include <memory>
#include <string>

#include "app/globals.h"
#include "ui/main_window.h"
#include "ui/qt_ui.h"
#include "ui/worker_threads.h"

namespace zarvex {

class App {
 public:
  // `program_folder`: UTF-8, without trailing "/"; settings live in its data/ folder.
  explicit App(const std::string& program_folder);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  Globals& globals() { return globals_; }
  QtUi& ui() { return ui_; }
  WorkerThreads& workers() { return workers_; }
  MainWindow& main_window() { return *window_; }

 private:
  QtUi ui_;
  Globals globals_;
  WorkerThreads workers_;
  std::unique_ptr<MainWindow> window_;
};

// Ends the process with code 0 at once: running downloads are neither stopped nor waited for,
// and nothing a worker may still use is freed.
[[noreturn]] void end_program();

}  // namespace zarvex

// zarvex: the desktop program.

#include <unistd.h>

#include <QApplication>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app.h"
#include "platform/program_folder.h"

namespace {

void usage(std::FILE* out) {
  std::fprintf(out,
               "usage: zarvex [--home DIR]\n\n"
               "  --home DIR  program folder; settings are read from DIR/data/musicsetting.ini\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::string home;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--help" || word == "-h") {
      usage(stdout);
      return 0;
    }
    if (word == "--home") {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "zarvex: --home needs a folder\n");
        return 2;
      }
      home = argv[++i];
      while (home.size() > 1 && home.back() == '/')
        home.pop_back();
    }
  }
  if (home.empty()) home = zarvex::program_folder();

  // The login window's web engine refuses to run as root inside its sandbox.
  if (::geteuid() == 0) {
    ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu", 0);
  }

  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zarvex"));
  QApplication::setQuitOnLastWindowClosed(false);

  // Built once and never freed: workers may run until the process ends.
  auto* app = new zarvex::App(home);
  QObject::connect(&app->main_window(), &zarvex::MainWindow::end_program_requested,
                   [] { zarvex::end_program(); });
  zarvex::MainWindow& window = app->main_window();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    window.move(screen->availableGeometry().center() - window.rect().center());
  }
  window.show();
  application.exec();
  zarvex::end_program();
}

// zarvex: the desktop program.

#include <unistd.h>

#include <QApplication>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app.h"
#include "platform/program_folder.h"

namespace {

void usage(std::FILE* out) {
  std::fprintf(out,
               "usage: zarvex [--home DIR]\n\n"
               "  --home DIR  program folder; settings are read from DIR/data/musicsetting.ini\n\n"
               "scripts/demo.sh starts the program against a local stand-in of the service.\n");
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      usage(stdout);
      return 0;
    }
  }
  // The login window's web engine refuses to run as root inside its sandbox.
  if (::geteuid() == 0) {
    ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu", 0);
  }

  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zarvex"));
  QApplication::setQuitOnLastWindowClosed(false);

  // Qt has taken its own options; what is left is ours.
  std::string home;
  const QStringList words = QApplication::arguments();
  for (qsizetype i = 1; i < words.size(); ++i) {
    const QString& word = words[i];
    if (word == QLatin1String("--home") && i + 1 < words.size()) {
      home = words[++i].toStdString();
      while (home.size() > 1 && home.back() == '/')
        home.pop_back();
    } else {
      // An option not understood must not start the program against the real service.
      std::fprintf(stderr, "zarvex: unknown option %s\n", qPrintable(word));
      usage(stderr);
      return 2;
    }
  }
  if (home.empty()) home = zarvex::program_folder();

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

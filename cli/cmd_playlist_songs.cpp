// zarvex-cli playlist-songs TID: the songs of one playlist, as search prints them.

#include <cstdio>

#include "cli_setup.h"
#include "service/song_row.h"
#include "terminal_ui.h"

namespace zarvex::cli {
namespace {

int run_playlist_songs(Context& context, const std::vector<std::string>& args) {
  if (!expect_args(args, 1, "playlist-songs TID")) return 2;
  CliSetup setup = cli_setup(context);
  TerminalUi ui;
  ListTable songs(playlist_song_columns());
  if (int code = load_playlist_songs(setup, args[0], songs, ui); code != 0) return code;
  print_song_rows(songs, stdout);
  return 0;
}

ZARVEX_CLI_COMMAND(Command{"playlist-songs", "TID", "list the songs of a playlist",
                           run_playlist_songs});

}  // namespace
}  // namespace zarvex::cli

// zarvex-cli playlist-songs TID: the songs of one playlist, as search prints them.

#include <cstdio>

#include "cli_setup.h"
#include "platform/codepage.h"
#include "service/playlists.h"
#include "terminal_ui.h"

namespace zarvex::cli {
namespace {

int run_playlist_songs(Context& context, const std::vector<std::string>& args) {
  if (!expect_args(args, 1, "playlist-songs TID")) return 2;
  CliSetup setup = cli_setup(context);
  TerminalUi ui;
  // The worker loads the playlist a box item shows; here the box has the one item asked for.
  PlaylistList playlists;
  playlists.replace({Playlist{"", gbk_from_utf8(args[0])}});
  ListTable songs(playlist_song_columns());
  ServiceOutcome outcome =
      playlist_songs_worker(setup.session, setup.endpoints, playlists, 0, songs, ui);
  if (int code = check_outcome(outcome, setup.endpoints.api_https); code != 0) return code;
  print_song_rows(songs, stdout);
  return 0;
}

ZARVEX_CLI_COMMAND(Command{"playlist-songs", "TID", "list the songs of a playlist",
                           run_playlist_songs});

}  // namespace
}  // namespace zarvex::cli

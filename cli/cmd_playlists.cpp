// zarvex-cli playlists: the playlists of the signed-in account, name and tid per line.

#include <cstdio>

#include "cli_setup.h"
#include "platform/codepage.h"
#include "service/playlists.h"
#include "terminal_ui.h"

namespace zarvex::cli {
namespace {

int run_playlists(Context& context, const std::vector<std::string>& args) {
  if (!expect_args(args, 0, "playlists")) return 2;
  CliSetup setup = cli_setup(context);
  TerminalUi ui;
  PlaylistList playlists;
  ListTable box({"name"});
  begin_playlist_list(ui);
  ServiceOutcome outcome =
      playlist_list_worker(setup.session, nullptr, setup.endpoints, playlists, box, ui);
  if (int code = check_outcome(outcome, setup.endpoints.api_https); code != 0) return code;
  for (const Playlist& playlist : playlists.snapshot()) {
    std::printf("%s\t%s\n", utf8_from_gbk(playlist.diss_name).c_str(),
                utf8_from_gbk(playlist.tid).c_str());
  }
  return 0;
}

ZARVEX_CLI_COMMAND(Command{"playlists", "", "list the playlists of the account of --cookie",
                           run_playlists});

}  // namespace
}  // namespace zarvex::cli

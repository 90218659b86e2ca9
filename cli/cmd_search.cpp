// zarvex-cli search KEYWORD: the first 40 songs the service finds for a keyword.

#include <cstdio>

#include "cli_setup.h"
#include "service/song_row.h"
#include "terminal_ui.h"

namespace zarvex::cli {
namespace {

int run_search(Context& context, const std::vector<std::string>& args) {
  if (!expect_args(args, 1, "search KEYWORD")) return 2;
  CliSetup setup = cli_setup(context);
  TerminalUi ui;
  ListTable results(search_list_columns());
  if (int code = load_search(setup, args[0], results, ui); code != 0) return code;
  print_song_rows(results, stdout);
  return 0;
}

ZARVEX_CLI_COMMAND(Command{"search", "KEYWORD", "search the catalogue (needs --cookie)",
                           run_search});

}  // namespace
}  // namespace zarvex::cli

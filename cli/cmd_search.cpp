// zarvex-cli search KEYWORD: the first 40 songs the service finds for a keyword.

#include <cstdio>

#include "cli_setup.h"
#include "platform/codepage.h"
#include "service/song_search.h"
#include "terminal_ui.h"

namespace zarvex::cli {
namespace {

int run_search(Context& context, const std::vector<std::string>& args) {
  if (!expect_args(args, 1, "search KEYWORD")) return 2;
  CliSetup setup = cli_setup(context);
  TerminalUi ui;
  if (!begin_search(setup.session.logged_in, ui)) return 1;
  ListTable results(search_list_columns());
  ServiceOutcome outcome = search_worker(gbk_from_utf8(args[0]), setup.endpoints, results, ui);
  if (int code = check_outcome(outcome, setup.endpoints.api_https); code != 0) return code;
  print_song_rows(results, stdout);
  return 0;
}

ZARVEX_CLI_COMMAND(Command{"search", "KEYWORD", "search the catalogue (needs --cookie)",
                           run_search});

}  // namespace
}  // namespace zarvex::cli

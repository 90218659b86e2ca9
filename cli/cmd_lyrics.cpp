// zarvex-cli lyrics ID: the lyrics of a song as its ".lrc" file holds them.

#include <cstdio>

#include "cli_setup.h"
#include "platform/codepage.h"
#include "service/lyrics.h"

namespace zarvex::cli {
namespace {

int run_lyrics(Context& context, const std::vector<std::string>& args) {
  if (!expect_args(args, 1, "lyrics ID")) return 2;
  CliSetup setup = cli_setup(context);
  HttpOutcome outcome;
  std::string lyrics =
      fetch_lyrics(gbk_from_utf8(args[0]), setup.session, setup.endpoints, &outcome);
  if (int code = check_answer(outcome, setup.endpoints.api_https); code != 0) return code;
  const std::string text = utf8_from_gbk(lyrics);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  return 0;
}

ZARVEX_CLI_COMMAND(Command{"lyrics", "ID", "print the lyrics of the song with this id",
                           run_lyrics});

}  // namespace
}  // namespace zarvex::cli

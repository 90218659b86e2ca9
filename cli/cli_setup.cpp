#include "cli_setup.h"

#include "platform/codepage.h"
#include "service/playlists.h"
#include "service/song_search.h"
#include "session/session_keys.h"

namespace zarvex::cli {

CliSetup cli_setup(const Context& context) {
  CliSetup setup;
  setup.endpoints = load_endpoints(context.home);
  const std::string cookie = gbk_from_utf8(context.cookie);
  if (!cookie.empty()) {
    SessionKeys keys = derive_session_keys(cookie);
    setup.session.uin = keys.uin;
    setup.session.g_tk = keys.g_tk;
    setup.session.cookie = cookie;
    setup.session.logged_in = true;
  }
  return setup;
}

bool expect_args(const std::vector<std::string>& args, std::size_t count, const char* usage) {
  if (args.size() == count) return true;
  std::fprintf(stderr, "usage: zarvex-cli [--home DIR] [--cookie TEXT] %s\n", usage);
  return false;
}

int check_answer(const HttpOutcome& outcome, const std::string& base) {
  if (!outcome.answered) {
    std::fprintf(stderr, "zarvex-cli: no answer from the music service at %s: %s\n", base.c_str(),
                 outcome.error.empty() ? "unknown error" : outcome.error.c_str());
    return 1;
  }
  if (outcome.status >= 400) {
    std::fprintf(stderr, "zarvex-cli: the music service at %s answered with status %ld\n",
                 base.c_str(), outcome.status);
    return 1;
  }
  return 0;
}

int check_outcome(const ServiceOutcome& outcome, const std::string& base) {
  if (int code = check_answer(outcome.http, base); code != 0) return code;
  if (!outcome.parsed) {
    std::fprintf(stderr, "zarvex-cli: the answer of the music service at %s could not be read\n",
                 base.c_str());
    return 1;
  }
  return 0;
}

int load_search(const CliSetup& setup, const std::string& keyword, ListTable& songs, Ui& ui) {
  if (!begin_search(setup.session.logged_in, ui)) return 1;
  ServiceOutcome outcome = search_worker(gbk_from_utf8(keyword), setup.endpoints, songs, ui);
  return check_outcome(outcome, setup.endpoints.api_https);
}

int load_playlist_songs(const CliSetup& setup, const std::string& tid, ListTable& songs, Ui& ui) {
  // The worker loads the playlist a box item shows; here the box has the one item asked for.
  PlaylistList playlists;
  playlists.replace({Playlist{"", gbk_from_utf8(tid)}});
  ServiceOutcome outcome =
      playlist_songs_worker(setup.session, setup.endpoints, playlists, 0, songs, ui);
  return check_outcome(outcome, setup.endpoints.api_https);
}

void print_song_rows(const ListTable& table, std::FILE* out) {
  for (const ListRow& row : table.rows()) {
    std::string line = row.image == 1 ? "SQ" : row.image == 0 ? "HQ" : "";
    for (std::size_t column = 1; column <= 7; ++column) {
      line += '\t';
      if (column >= row.cells.size()) continue;
      // A tab or line break inside a cell would shift the columns of a line-based output.
      std::string cell = utf8_from_gbk(row.cells[column]);
      for (char& c : cell) {
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
      }
      line += cell;
    }
    std::fprintf(out, "%s\n", line.c_str());
  }
}

}  // namespace zarvex::cli

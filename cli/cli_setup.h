#pragma once
// What the service commands share: the endpoints and the session a Context stands for, the
// loading of a song list and the printing of song rows.

#include <cstdio>
#include <string>
#include <vector>

#include "command.h"
#include "net/http.h"
#include "platform/list_table.h"
#include "platform/ui_port.h"
#include "service/endpoints.h"
#include "service/service_outcome.h"
#include "session/session.h"

namespace zarvex::cli {

struct CliSetup {
  Endpoints endpoints;    // from the settings file of --home
  SessionRecord session;  // keys derived from --cookie; logged_in when a cookie was given
};

CliSetup cli_setup(const Context& context);

// Checks the number of arguments; prints the usage to stderr when it is wrong.
bool expect_args(const std::vector<std::string>& args, std::size_t count, const char* usage);

// 0 when the service answered and the answer could be read; otherwise prints why to stderr
// (naming the service at `base`) and returns 1.
int check_outcome(const ServiceOutcome& outcome, const std::string& base);
int check_answer(const HttpOutcome& outcome, const std::string& base);

// Fills `songs` (made with search_list_columns()) with what the service finds for `keyword`
// (UTF-8), as the search button does. 0, or the exit code after saying why.
int load_search(const CliSetup& setup, const std::string& keyword, ListTable& songs, Ui& ui);
// Fills `songs` (made with playlist_song_columns()) with the songs of the playlist `tid`
// (UTF-8). 0, or the exit code after saying why.
int load_playlist_songs(const CliSetup& setup, const std::string& tid, ListTable& songs, Ui& ui);

// One line per row: the quality mark (SQ, HQ or nothing) and columns 1 to 7, tab-separated,
// in UTF-8.
void print_song_rows(const ListTable& table, std::FILE* out);

}  // namespace zarvex::cli

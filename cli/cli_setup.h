#pragma once
// What the service commands share: the endpoints and the session a Context stands for, and
// the printing of song rows.

#include <cstdio>
#include <string>
#include <vector>

#include "command.h"
#include "platform/list_table.h"
#include "service/endpoints.h"
#include "session/session.h"

namespace zarvex::cli {

struct CliSetup {
  Endpoints endpoints;    // from the settings file of --home
  SessionRecord session;  // keys derived from --cookie; logged_in when a cookie was given
};

CliSetup cli_setup(const Context& context);

// Checks the number of arguments; prints the usage to stderr when it is wrong.
bool expect_args(const std::vector<std::string>& args, std::size_t count, const char* usage);

// One line per row: the quality mark (SQ, HQ or nothing) and columns 1 to 7, tab-separated,
// in UTF-8.
void print_song_rows(const ListTable& table, std::FILE* out);

}  // namespace zarvex::cli

#include "cli_setup.h"

#include "platform/codepage.h"
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

// zarvex-cli: the system's routines for a terminal.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "command.h"
#include "platform/program_folder.h"

namespace zarvex::cli {

std::vector<Command>& commands() {
  static std::vector<Command> all;
  return all;
}

namespace {

void print_help(std::FILE* out) {
  std::fprintf(out,
               "usage: zarvex-cli [--home DIR] [--cookie TEXT] COMMAND [ARGS]\n\n"
               "  --home DIR     program folder; settings are read from DIR/data/musicsetting.ini\n"
               "  --cookie TEXT  login cookie text (as the sign-in page leaves it)\n\n"
               "commands:\n");
  auto sorted = commands();
  std::sort(sorted.begin(), sorted.end(),
            [](const Command& a, const Command& b) { return a.name < b.name; });
  for (const auto& c : sorted) {
    std::string head = c.name + (c.usage.empty() ? "" : " " + c.usage);
    std::fprintf(out, "  %-44s %s\n", head.c_str(), c.summary.c_str());
  }
}

}  // namespace
}  // namespace zarvex::cli

int main(int argc, char** argv) {
  using namespace zarvex::cli;
  Context context;
  std::vector<std::string> words(argv + 1, argv + argc);
  std::size_t i = 0;
  for (; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w == "--help" || w == "-h") {
      print_help(stdout);
      return 0;
    }
    if (w == "--home" || w == "--cookie") {
      if (i + 1 >= words.size()) {
        std::fprintf(stderr, "zarvex-cli: %s needs a value\n", w.c_str());
        return 2;
      }
      (w == "--home" ? context.home : context.cookie) = words[++i];
      continue;
    }
    if (!w.empty() && w[0] == '-') {
      std::fprintf(stderr, "zarvex-cli: unknown option %s (see --help)\n", w.c_str());
      return 2;
    }
    break;
  }
  if (i >= words.size()) {
    print_help(stderr);
    return 2;
  }
  if (context.home.empty()) context.home = zarvex::program_folder();
  const std::string name = words[i];
  std::vector<std::string> args(words.begin() + static_cast<std::ptrdiff_t>(i) + 1, words.end());
  for (const auto& c : commands()) {
    if (c.name == name) return c.run(context, args);
  }
  std::fprintf(stderr, "zarvex-cli: unknown command '%s' (see --help)\n", name.c_str());
  return 2;
}

#pragma once
// A command of zarvex-cli. Each command lives in its own file and registers itself with
// ZARVEX_CLI_COMMAND, so adding a command touches no other file.

#include <functional>
#include <string>
#include <vector>

namespace zarvex::cli {

// What every command gets: the options that stand before the command word.
struct Context {
  std::string home;    // program folder (settings in data/musicsetting.ini); UTF-8
  std::string cookie;  // login cookie text given with --cookie; empty when not signed in
};

struct Command {
  std::string name;
  std::string usage;    // arguments after the command word, e.g. "KEYWORD"
  std::string summary;  // one line for --help
  // Returns the process exit code. `args` are the words after the command word.
  std::function<int(Context&, const std::vector<std::string>& args)> run;
};

std::vector<Command>& commands();

struct Registrar {
  explicit Registrar(Command command) { commands().push_back(std::move(command)); }
};

}  // namespace zarvex::cli

#define ZARVEX_CLI_CONCAT2(a, b) a##b
#define ZARVEX_CLI_CONCAT(a, b) ZARVEX_CLI_CONCAT2(a, b)
#define ZARVEX_CLI_COMMAND(...) \
  static ::zarvex::cli::Registrar ZARVEX_CLI_CONCAT(zarvex_cli_command_, __LINE__)(__VA_ARGS__)

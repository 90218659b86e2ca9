// zarvex-cli settings [KEY VALUE]: shows the download settings, or sets one of them the way the
// settings window applies (the same checks and questions, the same file).

#include <cstdio>
#include <string>
#include <vector>

#include "command.h"
#include "platform/codepage.h"
#include "settings/settings.h"
#include "terminal_ui.h"

namespace zarvex::cli {
namespace {

const char* const kKeys[] = {"setdir", "downth", "nametype", "customname", "downlrc", "downnum"};

void print_settings(const Settings& s) {
  std::printf("setdir=%s\n", utf8_from_gbk(s.setdir).c_str());
  std::printf("downth=%d\n", s.downth);
  std::printf("nametype=%d\n", s.nametype);
  std::printf("customname=%s\n", utf8_from_gbk(s.customname).c_str());
  std::printf("downlrc=%d\n", s.downlrc ? 1 : 0);
  std::printf("downnum=%d\n", s.downnum);
}

int run_settings(Context& context, const std::vector<std::string>& args) {
  if (args.size() != 0 && args.size() != 2) {
    std::fprintf(stderr, "usage: zarvex-cli [--home DIR] settings [KEY VALUE]\n");
    return 2;
  }
  SettingsStore store(context.home);
  store.load_settings();
  if (args.empty()) {
    print_settings(store.snapshot());
    return 0;
  }

  const std::string& key = args[0];
  bool known = false;
  for (const char* k : kKeys)
    known = known || key == k;
  if (!known) {
    std::fprintf(stderr,
                 "zarvex-cli: unknown setting '%s' (setdir, downth, nametype, customname, "
                 "downlrc, downnum)\n",
                 key.c_str());
    return 2;
  }
  const std::string value = gbk_from_utf8(args[1]);

  // The window's boxes as it fills them: the texts of the file and the record's rule and lyrics.
  const Settings current = store.snapshot();
  SettingsInput input;
  input.folder = current.setdir;
  input.simultaneous_tasks = store.read_setting("downnum", "3");
  input.connections = store.read_setting("downth", "3");
  input.custom_pattern = current.customname;
  input.checked_rule = current.nametype >= 1 && current.nametype <= 5 ? current.nametype : 0;
  input.lyrics = current.downlrc;
  if (key == "setdir") input.folder = value;
  if (key == "downnum") input.simultaneous_tasks = value;
  if (key == "downth") input.connections = value;
  if (key == "customname") input.custom_pattern = value;
  if (key == "nametype") {
    const int rule = setting_integer(value);
    input.checked_rule = rule >= 1 && rule <= 5 ? rule : 0;
  }
  if (key == "downlrc") input.lyrics = value == "1";

  TerminalUi ui;
  const ApplyOutcome outcome = store.apply_settings(input, ui);
  if (!outcome.saved) {
    if (outcome.custom_pattern != input.custom_pattern) {
      std::fprintf(stderr, "zarvex-cli: not saved; a pattern with the song name would be: %s\n",
                   utf8_from_gbk(outcome.custom_pattern).c_str());
    }
    return 1;
  }
  print_settings(store.snapshot());
  return 0;
}

ZARVEX_CLI_COMMAND(Command{"settings", "[KEY VALUE]",
                           "show the download settings, or set one (as the settings window does)",
                           run_settings});

}  // namespace
}  // namespace zarvex::cli

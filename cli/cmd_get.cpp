// zarvex-cli get: downloads songs of a search or a playlist the way the desktop program does:
// the format check, the download start per song (address, probe, naming, duplicate check,
// admission under downnum, lyrics), the engine, and the one-second tick that shows progress,
// removes finished tasks and starts waiting ones.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "cli_setup.h"
#include "download/download_list.h"
#include "download/download_manager.h"
#include "download/download_start.h"
#include "download/program_engine.h"
#include "download/service_song_service.h"
#include "platform/codepage.h"
#include "service/quality.h"
#include "service/song_row.h"
#include "terminal_ui.h"

namespace zarvex::cli {
namespace {

constexpr const char* kUsage =
    "--quality 128|320|ape|flac (--search KEYWORD | --playlist TID) (ROW... | --all)";
// With no byte moving and no row changing for this long, the downloads are given up.
constexpr int kStallTicks = 300;

struct GetRequest {
  int quality = 0;
  std::string search;    // UTF-8
  std::string playlist;  // UTF-8
  bool all = false;
  std::vector<int> rows;  // 1-based, as the search and playlist-songs commands list them
};

int quality_of(const std::string& word) {
  if (word == "128") return 1;
  if (word == "320") return 2;
  if (word == "ape") return 3;
  if (word == "flac") return 4;
  return 0;
}

bool parse(const std::vector<std::string>& args, GetRequest& request) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    const bool has_value = i + 1 < args.size();
    if (word == "--quality" && has_value) {
      request.quality = quality_of(args[++i]);
      if (request.quality == 0) return false;
    } else if (word == "--search" && has_value) {
      request.search = args[++i];
    } else if (word == "--playlist" && has_value) {
      request.playlist = args[++i];
    } else if (word == "--all") {
      request.all = true;
    } else if (!word.empty() && word.find_first_not_of("0123456789") == std::string::npos &&
               word.size() < 9) {
      request.rows.push_back(std::stoi(word));
    } else {
      return false;
    }
  }
  const bool one_source = request.search.empty() != request.playlist.empty();
  const bool one_choice = request.all != !request.rows.empty();
  return request.quality != 0 && one_source && one_choice;
}

// Progress lines, one per task row: redrawn in place on a terminal; elsewhere the whole list is
// printed again after each tick that changed it.
class ProgressPrinter {
 public:
  ProgressPrinter() : terminal_(::isatty(STDOUT_FILENO) != 0) {}

  void show(const std::vector<ListRow>& rows) {
    std::vector<std::string> lines;
    for (const ListRow& row : rows) {
      std::string line;
      for (std::size_t c :
           {download_number, download_name, download_status, download_size, download_progress}) {
        if (!line.empty()) line += '\t';
        line += c < row.cells.size() ? utf8_from_gbk(row.cells[c]) : "";
      }
      lines.push_back(line);
    }
    if (terminal_) {
      erase_block();
      for (const auto& line : lines)
        std::printf("%s\n", line.c_str());
      drawn_ = lines.size();
    } else if (lines != last_) {
      // The whole list as it stands after a tick that changed it, closed by a blank line.
      for (const auto& line : lines)
        std::printf("%s\n", line.c_str());
      std::printf("\n");
      last_ = lines;
    }
    std::fflush(stdout);
  }

  void finished(const std::string& name_gbk) {
    if (terminal_) erase_block();  // the line goes above the block, which is drawn anew
    std::printf("%s\tfinished\n", utf8_from_gbk(name_gbk).c_str());
    std::fflush(stdout);
  }

 private:
  // Moves back over the lines drawn last and clears them.
  void erase_block() {
    if (drawn_ > 0) std::printf("\x1b[%zuA\x1b[J", drawn_);
    drawn_ = 0;
  }

  const bool terminal_;
  std::size_t drawn_ = 0;
  std::vector<std::string> last_;
};

int run_get(Context& context, const std::vector<std::string>& args) {
  GetRequest request;
  if (!parse(args, request)) {
    std::fprintf(stderr, "usage: zarvex-cli [--home DIR] [--cookie TEXT] get %s\n", kUsage);
    return 2;
  }
  CliSetup setup = cli_setup(context);
  TerminalUi ui(/*quiet=*/true);

  // The song list the rows are chosen from.
  ListTable songs(request.search.empty() ? playlist_song_columns() : search_list_columns());
  const int loaded = request.search.empty()
                         ? load_playlist_songs(setup, request.playlist, songs, ui)
                         : load_search(setup, request.search, songs, ui);
  if (loaded != 0) return loaded;
  std::vector<std::size_t> chosen;
  const std::size_t row_count = songs.row_count();
  if (request.all) {
    for (std::size_t i = 0; i < row_count; ++i)
      chosen.push_back(i);
  } else {
    for (int row : request.rows) {
      if (row < 1 || static_cast<std::size_t>(row) > row_count) {
        std::fprintf(stderr, "zarvex-cli: no song in row %d (the list has %zu)\n", row, row_count);
        return 2;
      }
      chosen.push_back(static_cast<std::size_t>(row) - 1);
    }
  }

  DownloadManager manager(context.home, std::make_unique<ProgramEngine>(), ui);
  manager.settings().load_settings();
  manager.refresh_finished_list();

  // The starts run on their own thread, as the pop-up's choices do, while this thread ticks.
  std::mutex mutex;
  bool starts_done = false;
  std::vector<int> admitted;
  int refused = 0;
  std::thread starter([&] {
    ServiceSongService service(setup.endpoints, setup.session);
    for (std::size_t index : chosen) {
      songs.set_selected(static_cast<int>(index));
      if (!offer_quality(request.quality, songs, ui)) {
        // Asked for by number, a missing format is a refusal; in "--all" such songs are skipped.
        if (!request.all) {
          std::lock_guard lock(mutex);
          ++refused;
        }
        continue;
      }
      const ListRow snapshot = songs.row(index);
      const StartResult result = start_song_download(manager, service, request.quality, snapshot);
      std::lock_guard lock(mutex);
      if (result.outcome == StartOutcome::admitted) {
        admitted.push_back(result.task);
      } else {
        ++refused;
      }
    }
    std::lock_guard lock(mutex);
    starts_done = true;
  });

  ProgressPrinter printer;
  std::set<int> finished;
  int failed = 0;
  int quiet_ticks = 0;
  std::vector<ListRow> previous;
  bool stalled = false;
  for (;;) {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    bool done;
    {
      std::lock_guard lock(mutex);
      done = starts_done;
    }
    const std::vector<ListRow> before = manager.download_list().rows();
    manager.tick();
    const std::vector<ListRow> rows = manager.download_list().rows();

    // A task whose row went in the tick reached 100% (nothing else removes rows here).
    std::set<int> present;
    for (const ListRow& row : rows)
      present.insert(task_number_of(row));
    for (const ListRow& row : before) {
      const int task = task_number_of(row);
      if (!present.count(task) && finished.insert(task).second)
        printer.finished(row.cells[download_name]);
    }
    printer.show(rows);

    failed = 0;
    bool waiting = false;
    for (const ListRow& row : rows) {
      failed += row.cells[download_status] == status_failed();
      waiting = waiting || row.cells[download_status] == status_waiting();
    }
    if (done && static_cast<std::size_t>(failed) == rows.size()) break;
    if (done && waiting && manager.settings().snapshot().downnum < 1) {
      std::fprintf(stderr, "zarvex-cli: downnum is %d, so no waiting download can start\n",
                   manager.settings().snapshot().downnum);
      stalled = true;
      break;
    }
    bool changed = rows.size() != previous.size();
    for (std::size_t i = 0; !changed && i < rows.size(); ++i)
      changed = rows[i].cells != previous[i].cells;
    quiet_ticks = changed ? 0 : quiet_ticks + 1;
    previous = rows;
    if (quiet_ticks >= kStallTicks) {
      std::fprintf(stderr, "zarvex-cli: no download made progress for %d seconds; giving up\n",
                   kStallTicks);
      stalled = true;
      break;
    }
  }
  starter.join();

  std::lock_guard lock(mutex);
  const std::size_t unfinished = admitted.size() - std::min(admitted.size(), finished.size());
  std::fprintf(stderr, "zarvex-cli: %zu finished, %zu not finished, %d refused\n", finished.size(),
               unfinished, refused);
  return (!stalled && failed == 0 && refused == 0 && unfinished == 0) ? 0 : 1;
}

ZARVEX_CLI_COMMAND(Command{
    "get", kUsage, "download songs with the settings' naming rule, lyrics and limits", run_get});

}  // namespace
}  // namespace zarvex::cli

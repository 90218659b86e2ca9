// zarvex-cli fetch: one file through the download engine, with a progress bar on a terminal and
// plain progress lines otherwise. Exits 0 only when the whole file is on disk.

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "command.h"
#include "download/engine.h"
#include "platform/codepage.h"
#include "platform/file_system.h"

namespace zarvex::cli {
namespace {

constexpr const char* kUsage = "URL PATH [--threads N]";
constexpr int kDefaultThreads = 3;

struct FetchArgs {
  std::string url;
  std::string path;  // UTF-8
  int threads = kDefaultThreads;
};

bool parse(const std::vector<std::string>& args, FetchArgs& out) {
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--threads") {
      if (i + 1 >= args.size()) return false;
      char* end = nullptr;
      long n = std::strtol(args[++i].c_str(), &end, 10);
      if (end == args[i].c_str() || *end != '\0' || n < 1 || n > 64) return false;
      out.threads = static_cast<int>(n);
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 2) return false;
  out.url = positional[0];
  out.path = positional[1];
  return true;
}

// The latest report of the task, filled by the engine's threads.
struct Progress {
  std::mutex lock;
  std::condition_variable changed;
  std::int64_t total = 0;
  std::int64_t done = 0;
  bool ended = false;
  int code = 1;
};

double mebibytes(std::int64_t bytes) {
  return static_cast<double>(bytes) / 1048576.0;
}

class ProgressView {
 public:
  explicit ProgressView(std::FILE* out) : out_(out), terminal_(::isatty(::fileno(out)) != 0) {}

  void show(std::int64_t total, std::int64_t done, double seconds) {
    if (total <= 0) return;
    const int percent =
        static_cast<int>(static_cast<double>(done) * 100.0 / static_cast<double>(total));
    if (terminal_) {
      constexpr int kWidth = 30;
      const int filled = percent * kWidth / 100;
      const double rate = seconds > 0 ? mebibytes(done) / seconds : 0.0;
      std::fprintf(out_, "\r[%s%s] %3d%%  %.1f/%.1f MiB  %.1f MiB/s ",
                   std::string(static_cast<std::size_t>(filled), '#').c_str(),
                   std::string(static_cast<std::size_t>(kWidth - filled), '-').c_str(), percent,
                   mebibytes(done), mebibytes(total), rate);
      drawn_ = true;
    } else if (percent / 10 > last_step_) {
      last_step_ = percent / 10;
      std::fprintf(out_, "fetch: %d%% %.1f of %.1f MiB\n", percent, mebibytes(done),
                   mebibytes(total));
    }
    std::fflush(out_);
  }

  void finish() {
    if (drawn_) std::fputc('\n', out_);
    std::fflush(out_);
  }

 private:
  std::FILE* out_;
  bool terminal_;
  bool drawn_ = false;
  int last_step_ = -1;
};

int run_fetch(Context&, const std::vector<std::string>& args) {
  FetchArgs request;
  if (!parse(args, request)) {
    std::fprintf(stderr, "usage: zarvex-cli fetch %s\n", kUsage);
    return 2;
  }
  Progress progress;
  // The view looks every 200 ms; only the final report wakes it, so pieces cost no wake-ups.
  ReportRoutine report = [&progress](int, int code, std::int64_t total, std::int64_t done) {
    std::lock_guard lock(progress.lock);
    progress.total = total;
    progress.done = done;
    if (code != 1) {
      progress.ended = true;
      progress.code = code;
      progress.changed.notify_all();
    }
  };

  DownloadEngine engine;
  std::string path = gbk_from_utf8(request.path);
  const int task = engine.create_task(request.url, path, request.threads, report, 1);
  if (task < 0) {
    std::fprintf(stderr,
                 "zarvex-cli fetch: cannot start: no file size from %s, or %s cannot be created\n",
                 request.url.c_str(), utf8_from_gbk(path).c_str());
    return 1;
  }

  ProgressView view(stdout);
  const auto start = std::chrono::steady_clock::now();
  std::int64_t total = 0, done = 0;
  int code = 1;
  while (true) {
    bool ended = false;
    {
      std::unique_lock lock(progress.lock);
      progress.changed.wait_for(lock, std::chrono::milliseconds(200),
                                [&] { return progress.ended; });
      total = progress.total;
      done = progress.done;
      ended = progress.ended;
      code = progress.code;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    view.show(total, done, seconds);
    // A job that ends without a final report (it was stopped) ends the wait as well.
    if (ended || engine.task_ended(task)) break;
  }
  view.finish();
  engine.wait_task(task, std::chrono::minutes(1));

  const std::string shown = utf8_from_gbk(path);
  if (code != 0 || total <= 0 || done != total || file_size(path) != total) {
    std::fprintf(stderr, "zarvex-cli fetch: download of %s failed (%lld of %lld bytes)\n",
                 shown.c_str(), static_cast<long long>(done), static_cast<long long>(total));
    return 1;
  }
  std::printf("saved %s (%lld bytes)\n", shown.c_str(), static_cast<long long>(total));
  return 0;
}

}  // namespace

ZARVEX_CLI_COMMAND(Command{"fetch", kUsage,
                           "download one address into PATH with the download engine", run_fetch});

}  // namespace zarvex::cli

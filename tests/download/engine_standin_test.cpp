// The engine and `zarvex-cli fetch` against the real zarvex-standin process.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "download/engine.h"
#include "engine_test_support.h"
#include "support/scratch_folder.h"
#include "support/standin_process.h"

extern char** environ;

namespace zarvex::test {
namespace {

bool executable(const std::string& path) {
  return ::access(path.c_str(), X_OK) == 0;
}

struct RunResult {
  int exit_code = -1;  // -1: did not end by itself in time (it was killed)
  std::string output;  // stdout and stderr together
};

// Runs a program to its end, for at most `limit`.
RunResult run(std::vector<std::string> args, std::chrono::seconds limit) {
  RunResult result;
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return result;
  std::vector<char*> argv;
  for (auto& a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  if (rc != 0) {
    ::close(fds[0]);
    return result;
  }
  const auto deadline = std::chrono::steady_clock::now() + limit;
  bool killed = false;
  while (true) {
    pollfd p{fds[0], POLLIN, 0};
    if (::poll(&p, 1, 200) > 0) {
      char buffer[4096];
      ssize_t n = ::read(fds[0], buffer, sizeof buffer);
      if (n > 0) {
        result.output.append(buffer, static_cast<std::size_t>(n));
        continue;
      }
      if (n == 0) break;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      killed = true;
      break;
    }
  }
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!killed && WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  return result;
}

struct StandinCase {
  const char* name;
  std::vector<std::string> flags;
};

class EngineAgainstStandin : public ::testing::TestWithParam<StandinCase> {};

TEST_P(EngineAgainstStandin, SongFileArrivesExact) {
  if (!executable(standin_path())) GTEST_SKIP() << "zarvex-standin is not built";
  StandinProcess standin(GetParam().flags, 300);
  ASSERT_TRUE(standin.ok()) << standin.startup_output();
  const std::string name = "M800003OUHbf3g5rYq.mp3";
  const std::int64_t size = standin::media_file_size(name);
  ScratchFolder folder;
  ReportLog log;
  DownloadEngine engine;
  std::string path = folder.file("song.mp3");
  const int task = engine.create_task(
      standin.http_base() + "/" + name + "?vkey=ABCDEF&guid=1702345678901&uin=10001&fromtag=64",
      path, 4, log.routine(), 1);
  ASSERT_EQ(task, 1);
  Report final = log.wait_final(kLongWait);
  EXPECT_EQ(final.code, 0);
  EXPECT_EQ(final.done, size);
  ASSERT_TRUE(engine.wait_task(task, kLongWait));
  EXPECT_EQ(first_difference(path, name, size), -1);
}

INSTANTIATE_TEST_SUITE_P(Flags, EngineAgainstStandin,
                         ::testing::Values(StandinCase{"plain", {}},
                                           StandinCase{"rate_limit", {"--rate-limit", "8388608"}},
                                           StandinCase{"close_early", {"--close-early"}},
                                           StandinCase{"ignore_range", {"--ignore-range"}},
                                           StandinCase{"probe_403", {"--probe-403"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EngineAgainstStandinRefusal, NoContentLengthMakesNoTask) {
  if (!executable(standin_path())) GTEST_SKIP() << "zarvex-standin is not built";
  StandinProcess standin({"--omit-content-length"}, 120);
  ASSERT_TRUE(standin.ok()) << standin.startup_output();
  ScratchFolder folder;
  DownloadEngine engine;
  std::string path = folder.file("song.flac");
  EXPECT_EQ(engine.create_task(standin.http_base() + "/F000abc.flac?vkey=K", path, 3, {}, 1), -1);
  EXPECT_EQ(engine.task_counter(), 0);
  EXPECT_NE(::access(path.c_str(), F_OK), 0);
}

TEST(CliFetch, ExitsZeroOnlyWithTheWholeFile) {
  if (!executable(cli_path())) GTEST_SKIP() << "zarvex-cli is not built";
  TestMediaHost host;
  ASSERT_TRUE(host.ok());
  standin::MediaOptions cut;
  cut.close_early = true;
  TestMediaHost cutting(cut);
  ASSERT_TRUE(cutting.ok());
  ScratchFolder folder;

  struct Case {
    const char* why;
    std::string url;
    std::string path;
    std::vector<std::string> extra;
    int exit_code;
    std::string media;  // checked byte for byte when the fetch succeeds
  };
  const Case cases[] = {
      {"whole file",
       host.url("/test/7000000.bin"),
       folder.file("a.bin"),
       {"--threads", "3"},
       0,
       "test/7000000.bin"},
      {"answers cut short",
       cutting.url("/test/3000000.bin"),
       folder.file("b.bin"),
       {},
       0,
       "test/3000000.bin"},
      {"into a folder", host.url("/test/2000000.bin"), folder.path(), {}, 0, "test/2000000.bin"},
      {"no such file", host.url("/test/nothing"), folder.file("c.bin"), {}, 1, ""},
      {"bad thread count",
       host.url("/test/1000.bin"),
       folder.file("d.bin"),
       {"--threads", "x"},
       2,
       ""},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {cli_path(), "fetch", c.url, c.path};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    RunResult result = run(args, std::chrono::seconds(120));
    EXPECT_EQ(result.exit_code, c.exit_code) << c.why << "\n" << result.output;
    if (c.exit_code == 0) {
      const std::string file =
          c.path == folder.path() ? folder.file(file_name_from_address(c.url)) : c.path;
      EXPECT_EQ(first_difference(file, c.media, standin::media_file_size(c.media)), -1) << c.why;
      EXPECT_NE(result.output.find("100%"), std::string::npos) << c.why << "\n" << result.output;
    } else {
      EXPECT_NE(::access(c.path.c_str(), F_OK), 0) << c.why;
    }
  }
}

}  // namespace
}  // namespace zarvex::test

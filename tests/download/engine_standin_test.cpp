// The engine and `zarvex-cli fetch` against the real zarvex-standin process.

#include <gtest/gtest.h>
#include <unistd.h>

#include "download/engine.h"
#include "engine_test_support.h"
#include "support/cli_runner.h"
#include "support/scratch_folder.h"
#include "support/standin_process.h"

namespace zarvex::test {
namespace {

bool executable(const std::string& path) {
  return ::access(path.c_str(), X_OK) == 0;
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
    std::vector<std::string> args = {"fetch", c.url, c.path};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const CliRun run = run_cli(args, 120);
    const std::string output = run.out + run.err;
    EXPECT_EQ(run.exit_code, c.exit_code) << c.why << "\n" << output;
    if (c.exit_code == 0) {
      const std::string file =
          c.path == folder.path() ? folder.file(file_name_from_address(c.url)) : c.path;
      EXPECT_EQ(first_difference(file, c.media, standin::media_file_size(c.media)), -1) << c.why;
      EXPECT_NE(output.find("100%"), std::string::npos) << c.why << "\n" << output;
    } else {
      EXPECT_NE(::access(c.path.c_str(), F_OK), 0) << c.why;
    }
  }
}

}  // namespace
}  // namespace zarvex::test

// The engine against servers that misbehave: slow, ignoring ranges, cutting answers short,
// refusing HEAD, sending no length, answering the wrong range, vanishing; and a disk that
// refuses writes.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <thread>

#include "download/engine.h"
#include "engine_test_support.h"
#include "platform/file_system.h"
#include "support/scratch_folder.h"

namespace zarvex::test {
namespace {

void expect_growing_reports(const std::vector<Report>& reports, std::int64_t size) {
  std::int64_t last = 0;
  for (const Report& r : reports) {
    if (r.code != 1) continue;
    EXPECT_EQ(r.total, size);
    EXPECT_GT(r.done, last);
    last = r.done;
  }
  EXPECT_EQ(last, size);
}

struct FaultCase {
  const char* name;
  standin::MediaOptions options;
  std::int64_t size;
  int threads;
};

standin::MediaOptions with(void (*set)(standin::MediaOptions&)) {
  standin::MediaOptions o;
  set(o);
  return o;
}

class EngineServerFaults : public ::testing::TestWithParam<FaultCase> {};

// Whatever the server does wrong here, the file ends complete and exact, and the job says so.
TEST_P(EngineServerFaults, FileEndsExact) {
  const FaultCase c = GetParam();
  TestMediaHost host(c.options);
  ASSERT_TRUE(host.ok());
  ScratchFolder folder;
  ReportLog log;
  DownloadEngine engine;
  std::string path = folder.file("fault.bin");
  const int task =
      engine.create_task(host.url("/" + test_file(c.size)), path, c.threads, log.routine(), 1);
  ASSERT_EQ(task, 1);
  Report final = log.wait_final(kLongWait);
  EXPECT_EQ(final.code, 0);
  EXPECT_EQ(final.total, c.size);
  EXPECT_EQ(final.done, c.size);
  expect_growing_reports(log.all(), c.size);
  ASSERT_TRUE(engine.wait_task(task, kLongWait));
  EXPECT_EQ(first_difference(path, test_file(c.size), c.size), -1);

  const std::vector<std::string> ranges = host.ranges();
  if (c.options.close_early) {
    // Blocks were asked again from where their answers stopped.
    EXPECT_GT(ranges.size(), static_cast<std::size_t>(block_count_for(c.size)));
    EXPECT_TRUE(std::any_of(ranges.begin(), ranges.end(), [](const std::string& r) {
      std::int64_t first = std::stoll(r.substr(6));
      return first % kBlockSize != 0;
    }));
  }
  if (c.options.ignore_range && c.size > kBlockSize) {
    // The size request and one request for the whole file.
    EXPECT_EQ(host.plain_gets(), 2);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, EngineServerFaults,
    ::testing::Values(
        FaultCase{"rate_limit", with([](auto& o) { o.rate_limit = 2 << 20; }), 3000000, 3},
        FaultCase{"ignore_range", with([](auto& o) { o.ignore_range = true; }), 3500000, 3},
        FaultCase{"ignore_range_one_block", with([](auto& o) { o.ignore_range = true; }), 500000,
                  3},
        FaultCase{"close_early", with([](auto& o) { o.close_early = true; }), 5000000, 3},
        FaultCase{"probe_403", with([](auto& o) { o.probe_403 = true; }), 2000000, 2}),
    [](const auto& info) { return std::string(info.param.name); });

// Addresses that cannot make a job: nothing is created, no number is used, no file is touched.
TEST(EngineRefusals, NoJobNoNumberNoFile) {
  standin::MediaOptions no_length;
  no_length.omit_content_length = true;
  TestMediaHost plain;
  TestMediaHost lengthless(no_length);
  TestMediaHost gone;
  ASSERT_TRUE(plain.ok() && lengthless.ok() && gone.ok());
  const std::string gone_url = gone.url("/test/1000.bin");
  gone.shut_down();

  struct Case {
    const char* why;
    std::string url;
  };
  const Case cases[] = {
      {"no Content-Length", lengthless.url("/test/2000000.bin")},
      {"size 0", plain.url("/test/0.bin")},
      {"404", plain.url("/no/such/file.bin")},
      {"403 without vkey", plain.url("/M800abc.mp3")},
      {"403 with empty vkey", plain.url("/M800abc.mp3?vkey=&guid=1")},
      {"nobody listening", gone_url},
  };
  ScratchFolder folder;
  DownloadEngine engine;
  for (const Case& c : cases) {
    std::string path = folder.file("refused.mp3");
    EXPECT_EQ(engine.create_task(c.url, path, 3, {}, 1), -1) << c.why;
    EXPECT_FALSE(path_exists(path)) << c.why;
  }
  EXPECT_EQ(engine.task_counter(), 0);
  std::string path = folder.file("song.mp3");
  EXPECT_EQ(
      engine.create_task(plain.url("/M800abc.mp3?vkey=K&guid=1&uin=2&fromtag=64"), path, 3, {}, 1),
      1);
}

// A server that answers ranges with bytes other than the ones asked for.
void add_lying_routes(httplib::Server& server) {
  server.Get(R"(/lying/(start|long)/(\d+)\.bin)", [](const httplib::Request& request,
                                                     httplib::Response& response) {
    const_cast<httplib::Request&>(request).ranges.clear();
    const std::string mode = request.matches[1];
    const std::int64_t size = std::stoll(request.matches[2]);
    const std::string name = test_file(size);
    std::string range = request.get_header_value("Range");
    if (range.rfind("bytes=", 0) != 0) {
      std::string body(static_cast<std::size_t>(size), '\0');
      standin::media_file_bytes(name, 0, body.data(), body.size());
      response.set_content(body, "application/octet-stream");
      return;
    }
    std::int64_t first = std::stoll(range.substr(6));
    std::int64_t last =
        std::min<std::int64_t>(std::stoll(range.substr(range.find('-') + 1)), size - 1);
    std::int64_t length = last - first + 1;
    response.status = 206;
    if (mode == "start") {  // always the file's first bytes, and says so
      response.set_header("Content-Range",
                          "bytes 0-" + std::to_string(length - 1) + "/" + std::to_string(size));
      first = 0;
    } else {  // the right header, then more bytes than it announced
      response.set_header("Content-Range", "bytes " + std::to_string(first) + "-" +
                                               std::to_string(last) + "/" + std::to_string(size));
      length += 65536;
    }
    auto body = std::make_shared<std::string>(static_cast<std::size_t>(length), '\0');
    standin::media_file_bytes(name, static_cast<std::uint64_t>(first), body->data(), body->size());
    response.set_chunked_content_provider(
        "application/octet-stream", [body](std::size_t offset, httplib::DataSink& sink) {
          if (offset >= body->size()) {
            sink.done();
            return true;
          }
          return sink.write(body->data() + offset,
                            std::min<std::size_t>(65536, body->size() - offset));
        });
  });
}

bool all_zero(const std::string& path, std::int64_t from, std::int64_t to) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  std::vector<char> buffer(static_cast<std::size_t>(to - from));
  std::fseek(f, static_cast<long>(from), SEEK_SET);
  std::size_t n = std::fread(buffer.data(), 1, buffer.size(), f);
  std::fclose(f);
  return n == buffer.size() &&
         std::all_of(buffer.begin(), buffer.end(), [](char c) { return c == 0; });
}

TEST(EngineWrongAnswers, AnswerForOtherBytesFailsTheJobAndWritesNothingOutsideItsBlock) {
  struct Case {
    const char* mode;
    int threads;
  };
  constexpr std::int64_t kSize = 3 * kBlockSize;
  for (const Case& c : {Case{"start", 3}, Case{"long", 1}}) {
    TestMediaHost host({}, add_lying_routes);
    ASSERT_TRUE(host.ok());
    ScratchFolder folder;
    ReportLog log;
    DownloadEngine engine;
    std::string path = folder.file("lied.bin");
    const int task = engine.create_task(
        host.url(std::string("/lying/") + c.mode + "/" + std::to_string(kSize) + ".bin"), path,
        c.threads, log.routine(), 1);
    ASSERT_EQ(task, 1) << c.mode;
    Report final = log.wait_final(kLongWait);
    EXPECT_EQ(final.code, -1) << c.mode;
    EXPECT_EQ(final.total, 0);
    EXPECT_EQ(final.done, 0);
    ASSERT_TRUE(engine.wait_task(task, kLongWait));
    EXPECT_EQ(engine.task_state(task), kTaskFailed);
    // Whatever was written belongs where it was written; the rest is still zero.
    if (std::string(c.mode) == "start") {
      EXPECT_TRUE(all_zero(path, kBlockSize, kSize)) << c.mode;
    } else {
      EXPECT_TRUE(all_zero(path, kBlockSize, kBlockSize + 65536)) << c.mode;
    }
  }
}

TEST(EngineWrongAnswers, ServerGoneMidwayFailsAfterRetriesWithoutClaimingSuccess) {
  standin::MediaOptions slow;
  slow.rate_limit = 1 << 20;
  constexpr std::int64_t kSize = 6 * kBlockSize;
  auto host = std::make_unique<TestMediaHost>(slow);
  ASSERT_TRUE(host->ok());
  ScratchFolder folder;
  ReportLog log;
  DownloadEngine engine;
  std::string path = folder.file("gone.bin");
  const int task = engine.create_task(host->url("/" + test_file(kSize)), path, 2, log.routine(), 1);
  ASSERT_EQ(task, 1);
  ASSERT_TRUE(log.wait_count(1, kLongWait));
  host->shut_down();
  Report final = log.wait_final(kLongWait);
  EXPECT_EQ(final.code, -1);
  ASSERT_TRUE(engine.wait_task(task, kLongWait));
  EXPECT_EQ(engine.task_state(task), kTaskFailed);
  std::vector<Report> reports = log.all();
  EXPECT_EQ(
      std::count_if(reports.begin(), reports.end(), [](const Report& r) { return r.code != 1; }),
      1);
}

// Restores the file-size limit and the signal it raises when the test ends.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    old_handler_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ok_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::signal(SIGXFSZ, old_handler_);
  }
  bool ok() const { return ok_; }

 private:
  rlimit saved_{};
  sighandler_t old_handler_ = SIG_DFL;
  bool ok_ = false;
};

// Writes past a limit fail as on a full disk: the job fails cleanly, the bytes before the limit
// are right.
TEST(EngineWriteErrors, RefusedWriteFailsTheJob) {
  constexpr std::int64_t kSize = 5000000;
  TestMediaHost host;
  ASSERT_TRUE(host.ok());
  ScratchFolder folder;
  ReportLog log;
  DownloadEngine engine;
  std::string path = folder.file("full.bin");
  // One worker: the first block is whole before the second meets the limit.
  const int task = engine.create_task(host.url("/" + test_file(kSize)), path, 1, log.routine(), 0);
  ASSERT_EQ(task, 1);
  {
    FileSizeLimit limit(kBlockSize + kBlockSize / 2);
    ASSERT_TRUE(limit.ok());
    engine.resume_task(task);
    Report final = log.wait_final(kLongWait);
    EXPECT_EQ(final.code, -1);
    ASSERT_TRUE(engine.wait_task(task, kLongWait));
  }
  EXPECT_EQ(engine.task_state(task), kTaskFailed);
  for (const Report& r : log.all()) {
    if (r.code == 1) {
      EXPECT_LE(r.done, kSize);
    }
  }
  // The first block lies below the limit and is whole.
  std::vector<char> want(kBlockSize), got(kBlockSize);
  standin::media_file_bytes(test_file(kSize), 0, want.data(), want.size());
  FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(std::fread(got.data(), 1, got.size(), f), got.size());
  std::fclose(f);
  EXPECT_TRUE(want == got);
}

}  // namespace
}  // namespace zarvex::test

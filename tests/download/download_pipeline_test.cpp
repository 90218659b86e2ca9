// The download start, the list's tick and the program's engine together against an in-process
// media host on 127.0.0.1: queued songs arrive byte for byte, and a failed task frees its slot
// and downloads when started again.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "download/download_list.h"
#include "download/download_manager.h"
#include "download/download_start.h"
#include "download/program_engine.h"
#include "engine_test_support.h"
#include "net/http.h"
#include "platform/codepage.h"
#include "settings/ini_file.h"
#include "support/recording_ui.h"
#include "support/scratch_folder.h"

namespace zarvex {
namespace {

// Songs whose media mid is a size in bytes: the address is the host's test file of that size,
// or a path of the host's own when the mid starts with "/".
class HostSongService : public SongService {
 public:
  explicit HostSongService(test::TestMediaHost& host) : host_(host) {}
  std::string resolve_media_address(int, const std::string&, const std::string& guid,
                                    const std::string& media_mid) override {
    if (!media_mid.empty() && media_mid[0] == '/') return host_.url(media_mid);
    return host_.url("/test/" + media_mid + ".bin?guid=" + guid);
  }
  std::int64_t probe_content_length(const std::string& address) override {
    return zarvex::probe_content_length(address, HttpOptions{});
  }
  std::string fetch_lyrics(const std::string& song_id) override { return "[00:00]" + song_id; }

 private:
  test::TestMediaHost& host_;
};

ListRow song(const std::string& name, const std::string& media_mid) {
  ListRow row;
  row.cells = {"", name, "singer", "album", "mid", "128mp3", "id" + name, media_mid};
  return row;
}

class DownloadPipelineTest : public ::testing::Test {
 protected:
  void make(int downnum) {
    const std::string ini = settings_file_path(home_.path());
    write_ini_value(ini, "musicset", "downnum", std::to_string(downnum));
    write_ini_value(ini, "musicset", "downth", "2");
    write_ini_value(ini, "musicset", "nametype", "1");
    manager_ =
        std::make_unique<DownloadManager>(home_.path(), std::make_unique<ProgramEngine>(), ui_);
    manager_->settings().load_settings();
  }
  // Ticks until `done` holds (checking `each` after every tick); false when it never did
  // within the bound. The pause between ticks only keeps the loop from spinning.
  template <class Done, class Each>
  bool tick_until(Done done, Each each) {
    for (int i = 0; i < 6000; ++i) {
      manager_->tick();
      each();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }
  std::string folder() const { return home_.path() + "/downsong/"; }

  test::ScratchFolder home_;
  test::RecordingUi ui_;
  std::unique_ptr<DownloadManager> manager_;
};

TEST_F(DownloadPipelineTest, QueuedSongsArriveWholeWithinTheLimit) {
  standin::MediaOptions options;
  options.rate_limit = 4 << 20;  // a few ticks per song, so running tasks overlap
  test::TestMediaHost host(options);
  ASSERT_TRUE(host.ok());
  make(2);
  HostSongService service(host);
  const std::vector<std::pair<std::string, std::int64_t>> songs = {
      {"a", 2500000}, {"b", 1048576}, {"c", 3000001}, {"d", 1}};
  for (const auto& [name, size] : songs) {
    const StartResult r =
        start_song_download(*manager_, service, 1, song(name, std::to_string(size)));
    ASSERT_EQ(r.outcome, StartOutcome::admitted) << name;
  }
  EXPECT_EQ(manager_->count_running_tasks(), 2);

  int most_running = 0;
  ASSERT_TRUE(
      tick_until([&] { return manager_->download_list().row_count() == 0; },
                 [&] { most_running = std::max(most_running, manager_->count_running_tasks()); }))
      << "downloads did not end";
  EXPECT_LE(most_running, 2);
  EXPECT_TRUE(ui_.texts_of("message").empty());

  for (const auto& [name, size] : songs) {
    EXPECT_EQ(test::first_difference(folder() + name + ".mp3", test::test_file(size), size), -1)
        << name;
  }
  const auto finished = manager_->finished_list().rows();
  ASSERT_EQ(finished.size(), songs.size());
  for (const auto& row : finished)
    EXPECT_EQ(row.cells[4], gbk_from_utf8("有歌词")) << row.cells[1];
}

TEST_F(DownloadPipelineTest, FailedTaskFreesItsSlotAndDownloadsWhenStartedAgain) {
  constexpr std::int64_t kSize = 2200000;
  const std::string kName = "test/2200000.bin";
  auto refuse = std::make_shared<std::atomic<bool>>(true);
  test::TestMediaHost host({}, [refuse, kName](httplib::Server& server) {
    server.Get("/flaky.bin", [refuse, kName](const httplib::Request& request,
                                             httplib::Response& response) {
      // Ranged requests are refused while `refuse` holds; the size is always told.
      const std::string range = request.get_header_value("Range");
      if (!range.empty() && *refuse) {
        response.status = 403;
        return;
      }
      const_cast<httplib::Request&>(request).ranges.clear();  // answered here, not by the server
      std::int64_t first = 0, last = kSize - 1;
      if (range.rfind("bytes=", 0) == 0) {
        first = std::stoll(range.substr(6));
        last = std::min<std::int64_t>(last, std::stoll(range.substr(range.find('-') + 1)));
        response.status = 206;
        response.set_header("Content-Range", "bytes " + std::to_string(first) + "-" +
                                                 std::to_string(last) + "/" +
                                                 std::to_string(kSize));
      }
      std::string body(static_cast<std::size_t>(last - first + 1), '\0');
      standin::media_file_bytes(kName, static_cast<std::uint64_t>(first), body.data(), body.size());
      response.set_content(body, "application/octet-stream");
    });
  });
  ASSERT_TRUE(host.ok());
  make(1);
  HostSongService service(host);
  ASSERT_EQ(start_song_download(*manager_, service, 1, song("flaky", "/flaky.bin")).outcome,
            StartOutcome::admitted);
  ASSERT_EQ(start_song_download(*manager_, service, 1, song("next", "1048577")).outcome,
            StartOutcome::admitted);

  // The failed task gives its slot to the waiting one, which finishes.
  ASSERT_TRUE(tick_until(
      [&] {
        return manager_->download_list().row_count() == 1 &&
               manager_->download_list().cell(0, download_status) == status_failed();
      },
      [] {}));
  EXPECT_EQ(manager_->count_running_tasks(), 0);
  EXPECT_EQ(test::first_difference(folder() + "next.mp3", "test/1048577.bin", 1048577), -1);

  // Started again, it is a new task for the same file, and this time the host answers.
  *refuse = false;
  manager_->start_task(0);
  EXPECT_EQ(manager_->download_list().cell(0, download_task), "3");
  EXPECT_EQ(manager_->download_list().cell(0, download_status), status_running());
  ASSERT_TRUE(tick_until([&] { return manager_->download_list().row_count() == 0; }, [] {}));
  EXPECT_EQ(test::first_difference(folder() + "flaky.mp3", kName, kSize), -1);
  EXPECT_TRUE(ui_.texts_of("message").empty());
}

}  // namespace
}  // namespace zarvex

namespace zarvex {
namespace {

TEST_F(DownloadPipelineTest, EndingWithTasksRunningLeavesNoReportBehind) {
  standin::MediaOptions slow;
  slow.rate_limit = 1 << 20;
  test::TestMediaHost host(slow);
  ASSERT_TRUE(host.ok());
  make(2);
  HostSongService service(host);
  for (const char* name : {"a", "b", "c"})
    ASSERT_EQ(start_song_download(*manager_, service, 1, song(name, "8000000")).outcome,
              StartOutcome::admitted);
  // Reports are flowing into the progress list when the manager (and its engine) goes.
  ASSERT_TRUE(host.wait_for_ranges(2, test::kLongWait));
  manager_->tick();
  manager_.reset();
  SUCCEED() << "the engine ended its jobs before the lists they report into";
}

}  // namespace
}  // namespace zarvex

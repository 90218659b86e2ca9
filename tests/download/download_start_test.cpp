#include "download/download_start.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "download/download_list.h"
#include "platform/codepage.h"
#include "platform/file_system.h"
#include "recording_task_engine.h"
#include "service/quality.h"
#include "settings/ini_file.h"
#include "support/recording_ui.h"
#include "support/scratch_folder.h"

namespace zarvex {
namespace {

namespace fs = std::filesystem;

std::string g(const char* utf8) {
  return gbk_from_utf8(utf8);
}

// Answers like the service would, without a network: the address names the quality and the
// media mid, the probe answers as told, the lyrics are fixed.
class ScriptedSongService : public SongService {
 public:
  std::string resolve_media_address(int quality, const std::string& mid, const std::string& guid,
                                    const std::string& media_mid) override {
    std::lock_guard lock(mutex_);
    guids_.push_back(guid);
    mids_.push_back(mid);
    if (quality < 1 || quality > 4) return "";
    return "http://127.0.0.1:1/Q" + std::to_string(quality) + media_mid;
  }
  std::int64_t probe_content_length(const std::string&) override { return probe_answer; }
  std::string fetch_lyrics(const std::string& song_id) override {
    std::lock_guard lock(mutex_);
    lyric_ids_.push_back(song_id);
    return lyrics;
  }

  std::int64_t probe_answer = 1000;
  std::string lyrics;
  std::vector<std::string> guids_, mids_, lyric_ids_;
  std::mutex mutex_;
};

ListRow song_row(const std::string& name, const std::string& singer, const std::string& album,
                 const std::string& id = "97773") {
  ListRow row;
  row.cells = {"1", name, singer, album, "mid_" + name, "128mp3320mp3flac", id, "media_" + name};
  return row;
}

class DownloadStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    set("setdir", home_.path() + "/songs");
    set("downlrc", "0");
    fs::create_directories(home_.path() + "/songs");
  }
  void set(const char* key, const std::string& value) {
    write_ini_value(settings_file_path(home_.path()), "musicset", key, value);
  }
  DownloadManager& manager() {
    if (!manager_) {
      auto engine = std::make_unique<test::RecordingTaskEngine>();
      engine_ = engine.get();
      manager_ = std::make_unique<DownloadManager>(home_.path(), std::move(engine), ui_);
    }
    manager_->settings().load_settings();
    return *manager_;
  }
  StartResult start(int quality, const ListRow& row) {
    return start_song_download(manager(), service_, quality, row);
  }

  test::ScratchFolder home_;
  test::RecordingUi ui_;
  ScriptedSongService service_;
  test::RecordingTaskEngine* engine_ = nullptr;
  std::unique_ptr<DownloadManager> manager_;
};

TEST_F(DownloadStartTest, NamesTheFileByTheSettings) {
  struct Case {
    std::string nametype, customname, setdir_suffix;
    int quality;
    std::string file;
  };
  const std::vector<Case> cases = {
      {"1", "", "", 1, "Song.mp3"},
      {"2", "", "/", 2, "Singer-Song.mp3"},
      {"3", "", "", 3, "Song-Singer.ape"},
      {"4", "", "/", 4, "Song-Singer-Album.flac"},
      {"5", g("%歌曲名%-%歌手%"), "", 4, "Song-Singer.flac"},
      {"5", "same", "", 1, "same.mp3"},
  };
  for (const auto& c : cases) {
    set("nametype", c.nametype);
    set("customname", c.customname);
    set("setdir", home_.path() + "/songs" + c.setdir_suffix);
    const StartResult r = start(c.quality, song_row("Song", "Singer", "Album"));
    ASSERT_EQ(r.outcome, StartOutcome::admitted) << c.file;
    EXPECT_EQ(r.path, home_.path() + "/songs/" + c.file);
    EXPECT_TRUE(fs::exists(home_.path() + "/songs/" + c.file)) << c.file;
    EXPECT_EQ(engine_->created().back().url,
              "http://127.0.0.1:1/Q" + std::to_string(c.quality) + "media_Song");
    // The row shows the base name, without extension.
    const auto last = manager().download_list().rows().back();
    EXPECT_EQ(last.cells[download_name] + std::string(quality_info(c.quality)->file_extension),
              c.file);
  }
  EXPECT_TRUE(ui_.calls().empty());
  // One guid per download, 13 digits, asked with the row's own mid.
  ASSERT_EQ(service_.guids_.size(), cases.size());
  EXPECT_EQ(service_.guids_[0].size(), 13u);
  EXPECT_EQ(service_.mids_[0], "mid_Song");
}

TEST_F(DownloadStartTest, UnusableAddressesEndWithTheirMessages) {
  struct Case {
    int quality;
    std::int64_t probe;
    StartOutcome outcome;
    std::string message;
    MessageIcon icon;
  };
  const std::vector<Case> cases = {
      {9, 1000, StartOutcome::no_address, g("哎呀，好像获取不到下载地址了~~"), MessageIcon::none},
      {1, -1, StartOutcome::cannot_download, g("当前选择歌曲无法下载，可能是QQ音乐服务器认证问题"),
       MessageIcon::information},
      {1, -2, StartOutcome::admitted, "", MessageIcon::none},
      {2, 0, StartOutcome::admitted, "", MessageIcon::none},
  };
  int n = 0;
  for (const auto& c : cases) {
    service_.probe_answer = c.probe;
    const std::size_t calls = ui_.calls().size();
    const StartResult r = start(c.quality, song_row("S" + std::to_string(n++), "x", "y"));
    EXPECT_EQ(r.outcome, c.outcome) << c.quality << " " << c.probe;
    const auto after = ui_.calls();
    if (c.message.empty()) {
      EXPECT_EQ(after.size(), calls);
    } else {
      ASSERT_EQ(after.size(), calls + 1);
      EXPECT_EQ(after.back().text, c.message);
      EXPECT_EQ(after.back().icon, c.icon);
    }
  }
  EXPECT_EQ(engine_->created().size(), 2u);
}

TEST_F(DownloadStartTest, SecondChoiceOfTheSameSongIsRefused) {
  set("downlrc", "1");
  service_.lyrics = "[00:01]first";
  ASSERT_EQ(start(1, song_row("Song", "Singer", "A")).outcome, StartOutcome::admitted);
  std::ofstream(home_.path() + "/songs/Singer-Song.mp3", std::ios::binary) << "partial";
  service_.lyrics = "[00:01]second";
  const StartResult again = start(1, song_row("Song", "Singer", "A"));
  EXPECT_EQ(again.outcome, StartOutcome::exists);
  EXPECT_EQ(ui_.texts_of("message"), std::vector<std::string>{g("当前任务已经存在")});
  EXPECT_EQ(ui_.calls().back().icon, MessageIcon::information);
  EXPECT_EQ(read_file(home_.path() + "/songs/Singer-Song.mp3").value_or(""), "partial")
      << "untouched";
  EXPECT_EQ(read_file(home_.path() + "/songs/Singer-Song.lrc").value_or(""), "[00:01]first");
  EXPECT_EQ(engine_->created().size(), 1u);
  // Another quality is another file.
  EXPECT_EQ(start(4, song_row("Song", "Singer", "A")).outcome, StartOutcome::admitted);
}

TEST_F(DownloadStartTest, AdmitsRunningUpToTheLimitThenWaiting) {
  set("downnum", "\xA3\xB2");  // a full-width 2
  for (const char* name : {"a", "b", "c"})
    start(1, song_row(name, "s", "x"));
  EXPECT_EQ(engine_->take(), (std::vector<std::string>{"create+1", "create+2", "create-3"}));
  std::string statuses;
  for (const auto& r : manager().download_list().rows())
    statuses += r.cells[download_status] == status_running() ? "R" : "W";
  EXPECT_EQ(statuses, "RRW");
}

TEST_F(DownloadStartTest, LyricFileHoldsTheGbkTextWhateverTheAdmission) {
  set("downlrc", "1");
  set("nametype", "1");
  struct Case {
    std::string lyrics;
    bool refuse;
  };
  const std::vector<Case> cases = {
      {g("[00:12.34]你好\r\n[by:x]"), false},
      {"", false},  // an empty text still makes the file
      {"[00:00]kept", true},
  };
  int n = 0;
  for (const auto& c : cases) {
    service_.lyrics = c.lyrics;
    const std::string name = "L" + std::to_string(n++);
    manager();
    if (c.refuse) engine_->refuse_next();
    const StartResult r = start(3, song_row(name, "s", "x", "id" + name));
    EXPECT_EQ(r.outcome, c.refuse ? StartOutcome::admit_failed : StartOutcome::admitted);
    const std::string lrc = home_.path() + "/songs/" + name + ".lrc";
    ASSERT_TRUE(fs::exists(lrc)) << name;
    EXPECT_EQ(read_file(lrc).value_or(""), c.lyrics) << "GBK bytes, no byte-order mark";
  }
  EXPECT_EQ(service_.lyric_ids_, (std::vector<std::string>{"idL0", "idL1", "idL2"}));

  set("downlrc", "0");
  EXPECT_EQ(start(3, song_row("NoLyrics", "s", "x")).outcome, StartOutcome::admitted);
  EXPECT_FALSE(fs::exists(home_.path() + "/songs/NoLyrics.lrc"));
}

TEST_F(DownloadStartTest, NamesThatCannotBeFiles) {
  // No rule: only the extension would remain.
  set("nametype", "0");
  EXPECT_EQ(start(1, song_row("Song", "s", "x")).outcome, StartOutcome::empty_name);
  EXPECT_EQ(ui_.texts_of("message").size(), 1u);
  EXPECT_TRUE(engine_->created().empty());
  EXPECT_TRUE(fs::is_empty(home_.path() + "/songs"));

  // A name beyond the file system's limit is shortened and still downloads, lyrics too.
  set("nametype", "1");
  set("downlrc", "1");
  std::string long_name;
  for (int i = 0; i < 150; ++i)
    long_name += g("歌");
  const StartResult r = start(4, song_row(long_name, "s", "x"));
  ASSERT_EQ(r.outcome, StartOutcome::admitted);
  EXPECT_LT(r.base_name.size(), long_name.size());
  EXPECT_TRUE(fs::exists(native_path(r.path)));
  EXPECT_TRUE(fs::exists(native_path(home_.path() + "/songs/" + r.base_name + ".lrc")));
}

TEST_F(DownloadStartTest, SameSongChosenTwiceAtOnceMakesOneTask) {
  manager();
  constexpr int kThreads = 6;
  std::vector<StartResult> results(kThreads);
  std::vector<std::thread> threads;
  const ListRow row = song_row("Song", "Singer", "A");
  for (int i = 0; i < kThreads; ++i)
    threads.emplace_back([&, i] { results[i] = start_song_download(*manager_, service_, 2, row); });
  for (auto& t : threads)
    t.join();
  int admitted = 0;
  for (const auto& r : results)
    admitted += r.outcome == StartOutcome::admitted;
  EXPECT_EQ(admitted, 1);
  EXPECT_EQ(engine_->created().size(), 1u);
  EXPECT_EQ(manager_->download_list().row_count(), 1u);
}

}  // namespace
}  // namespace zarvex

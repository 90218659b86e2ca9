#include "settings/settings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <limits>
#include <thread>

#include "platform/codepage.h"
#include "settings/ini_file.h"
#include "support/recording_ui.h"
#include "support/scratch_folder.h"

namespace zarvex {
namespace {

namespace fs = std::filesystem;

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(home_.empty()); }
  void put_ini(const std::string& contents) {
    fs::create_directories(home_ + "/data");
    std::ofstream(settings_file_path(home_), std::ios::binary) << contents;
  }
  std::string stored(const char* key) {
    return read_ini_value(settings_file_path(home_), "musicset", key, "<missing>");
  }

  test::ScratchFolder folder_;
  const std::string home_ = folder_.path();
};

TEST_F(SettingsTest, FirstStartGivesDefaultsAndCreatesTheDownloadFolder) {
  SettingsStore store(home_);
  store.load_settings();
  Settings s = store.snapshot();
  EXPECT_EQ(s.setdir, home_ + "/downsong");
  EXPECT_EQ(s.downth, 3);
  EXPECT_EQ(s.nametype, 2);
  EXPECT_EQ(s.customname, "");
  EXPECT_TRUE(s.downlrc);
  EXPECT_EQ(s.downnum, 3);
  EXPECT_TRUE(fs::is_directory(home_ + "/downsong"));
  EXPECT_FALSE(fs::exists(settings_file_path(home_))) << "loading writes nothing";
}

TEST_F(SettingsTest, DefaultFolderIsCreatedWhateverSetdirNames) {
  put_ini("[musicset]\r\nsetdir=/elsewhere\r\n");
  SettingsStore store(home_);
  store.load_settings();
  EXPECT_EQ(store.snapshot().setdir, "/elsewhere");
  EXPECT_TRUE(fs::is_directory(home_ + "/downsong"));
}

TEST_F(SettingsTest, StoredValuesAreReadWithTheirRules) {
  struct Case {
    std::string file;
    Settings expected;
  };
  const std::string gbk_dir = "/m/\xD2\xF4\xC0\xD6";  // "/m/音乐"
  const std::vector<Case> cases = {
      {"[musicset]\r\nsetdir=" + gbk_dir +
           "\r\ndownth=10\r\nnametype=5\r\ncustomname=%x%\r\ndownlrc=1\r\ndownnum=2\r\n",
       {gbk_dir, 10, 5, "%x%", true, 2}},
      // Only "1" switches lyrics on; numbers take their leading digits.
      {"[musicset]\r\ndownlrc=true\r\ndownth=4abc\r\nnametype=7\r\ndownnum=x\r\n",
       {home_ + "/downsong", 4, 7, "", false, 0}},
      {"[musicset]\r\ndownlrc=01\r\n", {home_ + "/downsong", 3, 2, "", false, 3}},
      {"[musicset]\r\ndownlrc=\r\n", {home_ + "/downsong", 3, 2, "", false, 3}},
      // An empty stored folder would name the file-system root; it reads as the default.
      {"[musicset]\r\nsetdir=\r\n", {home_ + "/downsong", 3, 2, "", true, 3}},
  };
  for (const auto& c : cases) {
    put_ini(c.file);
    SettingsStore store(home_);
    store.load_settings();
    Settings s = store.snapshot();
    EXPECT_EQ(s.setdir, c.expected.setdir) << c.file;
    EXPECT_EQ(s.downth, c.expected.downth) << c.file;
    EXPECT_EQ(s.nametype, c.expected.nametype) << c.file;
    EXPECT_EQ(s.customname, c.expected.customname) << c.file;
    EXPECT_EQ(s.downlrc, c.expected.downlrc) << c.file;
    EXPECT_EQ(s.downnum, c.expected.downnum) << c.file;
  }
}

TEST(SettingIntegerTest, ReadsLeadingDigitsAfterHalfWidthForms) {
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  const std::vector<std::pair<std::string, std::int32_t>> cases = {
      {"3", 3},
      {"  12abc", 12},
      {"abc", 0},
      {"", 0},
      {"-5", -5},
      {"+7", 7},
      {"\xA3\xB1\xA3\xB2", 12},  // full-width 12
      {"\xA3\xAD\xA3\xB5", -5},  // full-width minus and 5
      {"\xA1\xA1\xA3\xB8", 8},   // ideographic blank, full-width 8
      {"1\xA3\xB0x", 10},        // half- and full-width digits mixed
      {"\xD2\xF4"
       "5",
       0},                    // a Chinese character before the digit
      {"99999999999", kMax},  // beyond 32 bits: the range's end
      {"-99999999999", kMin},
  };
  for (const auto& [text, value] : cases)
    EXPECT_EQ(setting_integer(text), value) << text;
}

TEST_F(SettingsTest, ApplyWritesTheFileAndReloads) {
  SettingsStore store(home_);
  store.load_settings();
  test::RecordingUi ui;
  const std::string pattern = gbk_from_utf8("%歌曲名%_%专辑名%");
  ApplyOutcome out = store.apply_settings({"/music/", "\xA3\xB4", "8x", pattern, 5, false}, ui);
  EXPECT_TRUE(out.saved);
  EXPECT_TRUE(ui.calls().empty());
  EXPECT_EQ(stored("setdir"), "/music/");
  EXPECT_EQ(stored("downnum"), "\xA3\xB4") << "texts are stored exactly as typed";
  EXPECT_EQ(stored("downth"), "8x");
  EXPECT_EQ(stored("customname"), pattern);
  EXPECT_EQ(stored("nametype"), "5");
  EXPECT_EQ(stored("downlrc"), "0");
  Settings s = store.snapshot();
  EXPECT_EQ(s.setdir, "/music/");
  EXPECT_EQ(s.downnum, 4);
  EXPECT_EQ(s.downth, 8);
  EXPECT_EQ(s.nametype, 5);
  EXPECT_FALSE(s.downlrc);
}

TEST_F(SettingsTest, NoCheckedRuleWritesZero) {
  put_ini("[musicset]\r\nnametype=7\r\n");
  SettingsStore store(home_);
  store.load_settings();
  test::RecordingUi ui;
  store.apply_settings({"/m", "3", "3", "", 0, true}, ui);
  EXPECT_EQ(stored("nametype"), "0");
  EXPECT_EQ(store.snapshot().nametype, 0);
}

TEST_F(SettingsTest, CustomPatternWithoutSongNameAsksFirst) {
  const std::string question = gbk_from_utf8(
      "你没有设置%歌曲名%变量，这样做可能下载多首歌曲，都是同一个文件名，确定继续吗？");
  const std::string singer_only = gbk_from_utf8("%歌手%");
  for (bool yes : {false, true}) {
    std::error_code ec;
    fs::remove_all(home_ + "/data", ec);
    SettingsStore store(home_);
    store.load_settings();
    test::RecordingUi ui;
    ui.answer(yes);
    ApplyOutcome out = store.apply_settings({"/m", "3", "3", singer_only, 5, true}, ui);
    ASSERT_EQ(ui.texts_of("ask"), std::vector<std::string>{question});
    EXPECT_EQ(out.saved, yes);
    if (yes) {
      EXPECT_EQ(stored("customname"), singer_only);
      EXPECT_EQ(out.custom_pattern, singer_only);
    } else {
      EXPECT_FALSE(fs::exists(settings_file_path(home_))) << "nothing written on No";
      EXPECT_EQ(out.custom_pattern, gbk_from_utf8("%歌曲名%-%歌手%"));
    }
  }
  // The question belongs to rule 5 only.
  SettingsStore store(home_);
  test::RecordingUi ui;
  EXPECT_TRUE(store.apply_settings({"/m", "3", "3", singer_only, 2, true}, ui).saved);
  EXPECT_TRUE(ui.texts_of("ask").empty());
}

TEST_F(SettingsTest, EmptyFolderBoxStandsForTheDefaultFolder) {
  SettingsStore store(home_);
  test::RecordingUi ui;
  ApplyOutcome out = store.apply_settings({"", "3", "3", "", 2, true}, ui);
  EXPECT_TRUE(out.saved);
  EXPECT_EQ(out.folder, home_ + "/downsong");
  EXPECT_EQ(stored("setdir"), home_ + "/downsong");
  EXPECT_EQ(store.snapshot().setdir, home_ + "/downsong");
  EXPECT_TRUE(fs::is_directory(home_ + "/downsong"));
}

TEST_F(SettingsTest, UnwritableFileIsReportedNotSilent) {
  // A plain file where the data folder should be makes every write fail.
  std::ofstream(home_ + "/data") << "x";
  SettingsStore store(home_);
  test::RecordingUi ui;
  EXPECT_FALSE(store.apply_settings({"/m", "3", "3", "", 2, true}, ui).saved);
  EXPECT_EQ(ui.texts_of("message").size(), 1u);
}

TEST_F(SettingsTest, ReadersSeeWholeRecords) {
  SettingsStore store(home_);
  test::RecordingUi ui;
  std::atomic<bool> done{false};
  std::atomic<int> torn{0};
  std::thread reader([&] {
    while (!done) {
      Settings s = store.snapshot();
      // Each applied record pairs the folder with its task count.
      if (!s.setdir.empty() && s.setdir != "/a" + std::to_string(s.downnum)) ++torn;
    }
  });
  for (int i = 0; i < 40; ++i) {
    std::string n = std::to_string(i % 5 + 1);
    store.apply_settings({"/a" + n, n, "3", "", 2, true}, ui);
  }
  done = true;
  reader.join();
  EXPECT_EQ(torn, 0);
}

}  // namespace
}  // namespace zarvex

#include "download/finished_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "support/recording_ui.h"
#include "support/scratch_folder.h"

namespace zarvex {
namespace {

std::string g(const char* utf8) {
  return gbk_from_utf8(utf8);
}

std::vector<std::vector<std::string>> cells_of(const ListTable& table) {
  std::vector<std::vector<std::string>> out;
  for (const auto& row : table.rows())
    out.push_back(row.cells);
  return out;
}

TEST(FinishedListTest, ListsMusicFilesWithSizeFormatAndLyrics) {
  test::ScratchFolder dir;
  dir.put("Song.MP3", 5000000);
  dir.put("Song.lrc", 10);
  dir.put("cover.jpg", 10);
  dir.put("b.flac", 1048576);
  dir.put("c.ape", 0);
  dir.put("a.mp3.bak", 10);
  dir.put("\xE6\xAD\x8C.flac", 2048);  // 歌.flac, with its lyrics beside it
  dir.put("\xE6\xAD\x8C.lrc", 1);
  std::filesystem::create_directories(dir.path() + "/folder.mp3");

  ListTable table(finished_list_titles());
  table.add_row({"stale"});
  refresh_finished_list(table, dir.path());
  // Rows in the folder listing's order (by name bytes).
  const std::vector<std::vector<std::string>> expected = {
      {"1", "Song", "4.77M", "mp3", g("有歌词")}, {"2", "a.mp3", "0M", "mp3", g("无歌词")},
      {"3", "b", "1M", "flac", g("无歌词")},      {"4", "c", "0M", "ape", g("无歌词")},
      {"5", g("歌"), "0M", "flac", g("有歌词")},
  };
  EXPECT_EQ(cells_of(table), expected);

  refresh_finished_list(table, dir.path() + "/missing");
  EXPECT_EQ(table.row_count(), 0u);
}

TEST(FinishedListTest, SizeTexts) {
  test::ScratchFolder dir;
  struct Case {
    std::size_t bytes;
    std::int64_t kb;
    std::string text;
  };
  const std::vector<Case> cases = {
      {5000000, 4883, "4.77M"},
      {1048576, 1024, "1M"},
      {0, 0, "0M"},
      {1, 1, "0M"},
      {1025, 2, "0M"},
      {10240, 10, "0.01M"},
      {1572864, 1536, "1.5M"},
      {3145728 + 1, 3073, "3M"},
  };
  for (const auto& c : cases) {
    const std::string path = dir.put("f" + std::to_string(c.bytes), c.bytes);
    EXPECT_EQ(file_size_kb(path), c.kb) << c.bytes;
    EXPECT_EQ(size_text_mb(path), c.text) << c.bytes;
  }
  EXPECT_EQ(file_size_kb(dir.path() + "/none"), -1);
}

TEST(FinishedListTest, BaseNameOfAPath) {
  struct Case {
    std::string path;
    std::string with, without;
  };
  const std::vector<Case> cases = {
      {"/m/Song.flac", "Song.flac", "Song"},
      {"/m/a.mp3.bak", "a.mp3.bak", "a.mp3"},
      {"Song", "Song", "Song"},
      {"/m.d/Song", "Song", "Song"},
      {"/m/", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(file_base_name(c.path, true), c.with) << c.path;
    EXPECT_EQ(file_base_name(c.path, false), c.without) << c.path;
  }
}

TEST(FinishedListTest, FolderListingMatchesPatternsAndAppends) {
  test::ScratchFolder dir;
  dir.put("a.mp3", 1);
  dir.put("noext", 1);
  dir.put("b.flac", 1);
  std::filesystem::create_directories(dir.path() + "/sub");
  dir.put("sub/c.mp3", 1);
  struct Case {
    std::string pattern;
    bool full;
    std::vector<std::string> names;
  };
  const std::vector<Case> cases = {
      {"*.*", false, {"a.mp3", "b.flac", "noext"}},
      {"*.flac", false, {"b.flac"}},
      {"?.mp3", true, {dir.path() + "/a.mp3"}},
      {"*e*", false, {"noext"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> out = {"kept"};
    EXPECT_EQ(list_folder_files(dir.path() + "/", c.pattern, out, c.full), c.names.size() + 1);
    std::vector<std::string> expected = {"kept"};
    expected.insert(expected.end(), c.names.begin(), c.names.end());
    EXPECT_EQ(out, expected) << c.pattern;
  }
}

TEST(FinishedListTest, RenumberWritesOneToN) {
  ListTable table(finished_list_titles());
  for (const char* n : {"7", "", "x"})
    table.add_row({n, "name"});
  renumber_rows(table);
  std::vector<std::string> numbers;
  for (const auto& r : table.rows())
    numbers.push_back(r.cells[0]);
  EXPECT_EQ(numbers, (std::vector<std::string>{"1", "2", "3"}));
}

TEST(FinishedListTest, DeletingAFileAsksAndRemovesOnlyTheSong) {
  test::ScratchFolder dir;
  dir.put("a.mp3", 1);
  dir.put("b.mp3", 1);
  dir.put("b.lrc", 1);
  dir.put("c.mp3", 1);
  ListTable table(finished_list_titles());
  refresh_finished_list(table, dir.path());
  test::RecordingUi ui;

  ui.answer(false);
  EXPECT_FALSE(delete_finished_file(table, 1, dir.path(), ui));
  EXPECT_TRUE(std::filesystem::exists(dir.path() + "/b.mp3"));
  EXPECT_EQ(ui.texts_of("ask"), std::vector<std::string>{g("确定从硬盘中删除歌曲 b 吗？")});

  ui.answer(true);
  EXPECT_TRUE(delete_finished_file(table, 1, dir.path(), ui));
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/b.mp3"));
  EXPECT_TRUE(std::filesystem::exists(dir.path() + "/b.lrc"));
  const std::vector<std::vector<std::string>> rows = cells_of(table);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][0] + rows[0][1] + rows[1][0] + rows[1][1], "1a2c");
  EXPECT_TRUE(ui.texts_of("message").empty());
}

TEST(FinishedListTest, FailedDeletionKeepsTheRow) {
  test::ScratchFolder dir;
  dir.put("a.mp3.bak", 1);  // listed as "a.mp3"; the rebuilt path a.mp3.mp3 does not exist
  ListTable table(finished_list_titles());
  refresh_finished_list(table, dir.path());
  test::RecordingUi ui;
  ui.answer(true);
  EXPECT_FALSE(delete_finished_file(table, 0, dir.path(), ui));
  EXPECT_EQ(table.row_count(), 1u);
  EXPECT_EQ(ui.texts_of("message"), std::vector<std::string>{g("删除歌曲失败")});
  EXPECT_TRUE(std::filesystem::exists(dir.path() + "/a.mp3.bak"));
}

}  // namespace
}  // namespace zarvex

#include "download/file_naming.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/codepage.h"

namespace zarvex {
namespace {

std::string g(const char* utf8) {
  return gbk_from_utf8(utf8);
}

TEST(FileNamingTest, BaseNameFollowsTheRule) {
  struct Case {
    int rule;
    std::string custom;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {1, "", "Song"},
      {2, "", "Singer-Song"},
      {3, "", "Song-Singer"},
      {4, "", "Song-Singer-Album"},
      {5, g("%歌曲名%-%歌手%"), "Song-Singer"},
      {5, g("%专辑名%_%歌曲名%_%歌曲名%"), "Album_Song_Song"},
      {5, "fixed", "fixed"},
      {5, "", ""},
      {0, g("%歌曲名%"), ""},
      {6, g("%歌曲名%"), ""},
      {-1, "", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(build_base_name(c.rule, c.custom, "Song", "Singer", "Album"), c.expected)
        << c.rule << " " << c.custom;
}

TEST(FileNamingTest, NamesKeepGbkAndNeverNameAnotherFolder) {
  const std::string song = g("青花瓷");
  const std::string singer = g("周杰伦");
  EXPECT_EQ(build_base_name(2, "", song, singer, ""), singer + "-" + song);
  // A "/" from a pattern would put the file into a folder the duplicate check never lists.
  EXPECT_EQ(build_base_name(5, g("../%歌曲名%/x"), song, singer, ""), "..-" + song + "-x");
  EXPECT_EQ(build_base_name(1, "", "a/b", "", ""), "a-b");
}

TEST(FileNamingTest, FolderJoinsWithOneSeparator) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"/music", "/music/a.mp3"}, {"/music/", "/music/a.mp3"}, {"", "/a.mp3"}};
  for (const auto& [folder, path] : cases)
    EXPECT_EQ(join_folder(folder, "a.mp3"), path) << folder;
}

TEST(FileNamingTest, LongNamesAreCutToFitTheFileSystem) {
  struct Case {
    std::string base;
    std::string extension;
  };
  const std::string chinese = g("歌");  // 2 bytes GBK, 3 bytes UTF-8
  std::string long_chinese;
  for (int i = 0; i < 200; ++i)
    long_chinese += chinese;
  const std::vector<Case> cases = {
      {std::string(300, 'a'), ".flac"},
      {std::string(300, 'a'), ".mp3"},
      {long_chinese, ".flac"},
      {"a" + long_chinese, ".mp3"},
  };
  for (const auto& c : cases) {
    const std::string fitted = fit_base_name(c.base, c.extension);
    const std::size_t bytes = utf8_from_gbk(fitted).size();
    EXPECT_LE(bytes + c.extension.size(), kMaxFileNameBytes);
    EXPECT_LE(bytes + 4, kMaxFileNameBytes) << "the lyric file must fit too";
    EXPECT_EQ(c.base.compare(0, fitted.size(), fitted), 0) << "a prefix of the name";
    // Cut at a character boundary, and no shorter than needed.
    EXPECT_EQ(gbk_from_utf8(utf8_from_gbk(fitted)), fitted);
    const std::size_t next =
        fitted.size() + (static_cast<unsigned char>(c.base[fitted.size()]) >= 0x81 ? 2 : 1);
    EXPECT_GT(
        utf8_from_gbk(c.base.substr(0, next)).size() + std::max<std::size_t>(c.extension.size(), 4),
        kMaxFileNameBytes);
  }
  EXPECT_EQ(fit_base_name("Song-Singer", ".flac"), "Song-Singer");
}

}  // namespace
}  // namespace zarvex

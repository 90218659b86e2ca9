// zarvex-cli get against the stand-in: every available song of a search downloaded with the
// configured naming rule and lyrics, byte for byte, never more running than downnum; a second
// run refuses each song as existing.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "media_host.h"
#include "support/cli_runner.h"
#include "support/scratch_folder.h"
#include "support/standin_process.h"

namespace zarvex::test {
namespace {

namespace fs = std::filesystem;

std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator))
    parts.push_back(part);
  return parts;
}

int count_of(const std::string& text, const std::string& word) {
  int n = 0;
  for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + word.size()))
    ++n;
  return n;
}

class GetDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(home_.empty());
    // Slow enough per connection that tasks overlap and the queue has work to do.
    standin_ = std::make_unique<StandinProcess>(
        std::vector<std::string>{"--write-config", home_, "--rate-limit", "1500000"}, 600);
    ASSERT_TRUE(standin_->ok()) << standin_->startup_output();
  }
  // Runs zarvex-cli with --home and a login cookie; a time limit ends a hung client.
  CliRun cli(const std::vector<std::string>& args) {
    std::vector<std::string> words = {"--home", home_, "--cookie", "uin=o0012345; skey=@abcDEF123"};
    words.insert(words.end(), args.begin(), args.end());
    return run_cli(words, 300);
  }

  ScratchFolder folder_;
  const std::string home_ = folder_.path();
  // Stopped before its folder is removed.
  std::unique_ptr<StandinProcess> standin_;
};

TEST_F(GetDownloadTest, DownloadsEverySongOnceWithinTheLimit) {
  const std::string keyword = "\xE7\xBA\xB8\xE9\xA3\x9E\xE6\x9C\xBA";  // 纸飞机
  for (const auto& [key, value] :
       std::vector<std::pair<std::string, std::string>>{{"nametype", "3"}, {"downnum", "2"}}) {
    const CliRun set = cli({"settings", key, value});
    ASSERT_EQ(set.exit_code, 0) << set.err;
    EXPECT_NE(set.out.find(key + "=" + value + "\n"), std::string::npos) << set.out;
  }

  // What the search lists: title, singer, album, mid, tags, id, media mid after the mark.
  const CliRun search = cli({"search", keyword});
  ASSERT_EQ(search.exit_code, 0) << search.err;
  struct Expected {
    std::string file, media_name;
  };
  std::vector<Expected> expected;
  for (const std::string& line : split(search.out, '\n')) {
    const auto cells = split(line, '\t');
    ASSERT_EQ(cells.size(), 8u) << line;
    if (cells[5].find("128mp3") == std::string::npos) continue;
    expected.push_back({cells[1] + "-" + cells[2], "M500" + cells[7] + ".mp3"});
  }
  ASSERT_GE(expected.size(), 3u) << "the queue needs more songs than downnum";

  const CliRun get = cli({"get", "--quality", "128", "--search", keyword, "--all"});
  ASSERT_EQ(get.exit_code, 0) << get.out << get.err;

  const std::string folder = home_ + "/downsong/";
  for (const auto& e : expected) {
    const std::string song = folder + e.file + ".mp3";
    const std::string bytes = read_all(song);
    const std::int64_t size = standin::media_file_size(e.media_name);
    ASSERT_GT(size, 0) << e.media_name;
    ASSERT_EQ(static_cast<std::int64_t>(bytes.size()), size) << song;
    std::string want(static_cast<std::size_t>(size), '\0');
    standin::media_file_bytes(e.media_name, 0, want.data(), want.size());
    EXPECT_TRUE(bytes == want) << song << " differs from the media host's bytes";
    EXPECT_NE(read_all(folder + e.file + ".lrc").find("[by:Zarvex "), std::string::npos)
        << "lyrics beside " << song;
  }
  std::size_t files = 0;
  for (const auto& entry : fs::directory_iterator(folder))
    files += entry.is_regular_file();
  EXPECT_EQ(files, 2 * expected.size()) << "one song and one lyric file each, nothing else";

  // Every printed list (one block per tick that changed it) runs at most downnum tasks, and
  // the queue was used.
  const std::string running = "\xE6\xAD\xA3\xE5\x9C\xA8\xE4\xB8\x8B\xE8\xBD\xBD";  // 正在下载
  const std::string waiting = "\xE7\xAD\x89\xE5\xBE\x85\xE4\xB8\x8B\xE8\xBD\xBD";  // 等待下载
  bool queued = false;
  std::size_t start = 0;
  for (std::size_t end; (end = get.out.find("\n\n", start)) != std::string::npos; start = end + 2) {
    const std::string block = get.out.substr(start, end - start);
    EXPECT_LE(count_of(block, "\t" + running + "\t"), 2) << block;
    queued = queued || count_of(block, "\t" + waiting + "\t") > 0;
  }
  EXPECT_TRUE(queued) << get.out;
  EXPECT_EQ(count_of(get.out, "\tfinished\n"), static_cast<int>(expected.size())) << get.out;

  // A second run finds every file and refuses each song; nothing is touched.
  const auto before = fs::last_write_time(folder + expected.front().file + ".mp3");
  const CliRun again = cli({"get", "--quality", "128", "--search", keyword, "--all"});
  EXPECT_NE(again.exit_code, 0);
  const std::string exists =
      "\xE5\xBD\x93\xE5\x89\x8D\xE4\xBB\xBB\xE5\x8A\xA1\xE5\xB7\xB2\xE7"
      "\xBB\x8F\xE5\xAD\x98\xE5\x9C\xA8";  // 当前任务已经存在
  EXPECT_EQ(count_of(again.err, exists), static_cast<int>(expected.size())) << again.err;
  EXPECT_EQ(fs::last_write_time(folder + expected.front().file + ".mp3"), before);
}

TEST_F(GetDownloadTest, MissingFormatIsRefusedWithThePopUpText) {
  const std::string keyword = "\xE8\x93\x9D\xE8\x89\xB2\xE6\xB0\x94\xE7\x90\x83";  // 蓝色气球
  const CliRun search = cli({"search", keyword});
  ASSERT_EQ(search.exit_code, 0) << search.err;
  const auto cells = split(split(search.out, '\n').at(0), '\t');
  ASSERT_EQ(cells.size(), 8u);
  ASSERT_EQ(cells[5].find("flac"), std::string::npos) << "this song offers no FLAC";

  const CliRun get = cli({"get", "--quality", "flac", "--search", keyword, "1"});
  EXPECT_NE(get.exit_code, 0);
  EXPECT_NE(get.err.find(
                "\xE4\xBD\xA0\xE8\xA6\x81\xE4\xB8\x8B\xE8\xBD\xBD\xE7\x9A\x84\xE9\x9F"
                "\xB3\xE4\xB9\x90\xE6\xB2\xA1\xE6\x9C\x89\xE4\xBD\xA0\xE9\x80\x89\xE6"
                "\x8B\xA9\xE7\x9A\x84\xE6\xA0\xBC\xE5\xBC\x8F"),  // 你要下载的音乐没有你选择的格式
            std::string::npos)
      << get.err;
  EXPECT_TRUE(fs::is_empty(home_ + "/downsong"));
}

}  // namespace
}  // namespace zarvex::test

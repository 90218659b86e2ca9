#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/scratch_folder.h"

namespace zarvex {
namespace {

// GBK names as the core holds them: 歌曲 (a folder) and 中文.mp3.
const std::string kFolderGbk = "\xB8\xE8\xC7\xFA";
const std::string kFolderUtf8 = "\xE6\xAD\x8C\xE6\x9B\xB2";
const std::string kSongGbk = "\xD6\xD0\xCE\xC4.mp3";

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(root_.empty()); }

  test::ScratchFolder folder_;
  const std::string root_ = folder_.path();  // ASCII, so the same text in GBK and UTF-8
};

TEST_F(FileSystemTest, GbkNamesReachTheDiskAsUtf8AndComeBackAsGbk) {
  const std::string folder = root_ + "/" + kFolderGbk + "/sub";
  ASSERT_TRUE(create_directories(folder));
  EXPECT_TRUE(create_directories(folder));  // already there
  EXPECT_TRUE(std::filesystem::is_directory(root_ + "/" + kFolderUtf8 + "/sub"));
  struct stat info {};
  EXPECT_EQ(::stat((root_ + "/" + kFolderUtf8).c_str(), &info), 0);

  const std::string song = folder + "/" + kSongGbk;
  ASSERT_TRUE(write_file(song, "abc"));
  ASSERT_TRUE(write_file(folder + "/b.lrc", "[00:00]"));
  ASSERT_TRUE(create_directories(folder + "/inner"));

  EXPECT_EQ(list_files(folder), (std::vector<std::string>{"b.lrc", kSongGbk}));
  EXPECT_EQ(list_files(folder + "/"), list_files(folder));
  EXPECT_TRUE(list_files(root_ + "/missing").empty());
  EXPECT_EQ(read_file(song), "abc");
  EXPECT_EQ(native_path(song), root_ + "/" + kFolderUtf8 + "/sub/\xE4\xB8\xAD\xE6\x96\x87.mp3");
}

TEST_F(FileSystemTest, KindsSizesAndDeletion) {
  const std::string file = root_ + "/a.mp3";
  const std::string folder = root_ + "/dir";
  ASSERT_TRUE(write_file(file, std::string(1500, 'x')));
  ASSERT_TRUE(create_directories(folder));

  struct Case {
    std::string path;
    bool exists, is_file, is_folder;
    std::int64_t size;
  } cases[] = {
      {file, true, true, false, 1500},
      {folder, true, false, true, -1},
      {root_ + "/none", false, false, false, -1},
      {"", false, false, false, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(path_exists(c.path), c.exists) << c.path;
    EXPECT_EQ(file_exists(c.path), c.is_file) << c.path;
    EXPECT_EQ(is_directory(c.path), c.is_folder) << c.path;
    EXPECT_EQ(file_size(c.path), c.size) << c.path;
  }

  EXPECT_FALSE(delete_file(folder));  // folders are not files
  EXPECT_TRUE(is_directory(folder));
  EXPECT_TRUE(delete_file(file));
  EXPECT_FALSE(file_exists(file));
  EXPECT_FALSE(delete_file(file));
}

TEST_F(FileSystemTest, SizesPastFourGibibytes) {
  const std::string file = root_ + "/big.flac";
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  constexpr std::int64_t kSize = (std::int64_t{5} << 30) + 3;  // sparse: takes no disk space
  const bool grown = ::ftruncate(fd, kSize) == 0;
  ::close(fd);
  if (!grown) GTEST_SKIP() << "the temporary file system cannot hold a 5 GiB sparse file";
  EXPECT_EQ(file_size(file), kSize);
}

TEST_F(FileSystemTest, WriteReplacesWholeOrNotAtAll) {
  const std::string file = root_ + "/song.lrc";
  ASSERT_TRUE(write_file(file, "a long first content"));
  ASSERT_TRUE(write_file(file, "short"));
  EXPECT_EQ(read_file(file), "short");
  ASSERT_TRUE(write_file(file, ""));
  EXPECT_EQ(read_file(file), "");

  EXPECT_FALSE(write_file(root_ + "/missing/x.lrc", "abc"));
  EXPECT_FALSE(read_file(root_ + "/missing/x.lrc").has_value());
  // A folder where the file should be: the write fails and leaves no temporary file behind.
  ASSERT_TRUE(create_directories(root_ + "/taken"));
  EXPECT_FALSE(write_file(root_ + "/taken", "abc"));
  EXPECT_EQ(list_files(root_), (std::vector<std::string>{"song.lrc"}));
  // A name at the system's 255-byte limit can still be written.
  const std::string longest = root_ + "/" + std::string(251, 'n') + ".lrc";
  EXPECT_TRUE(write_file(longest, "abc"));
  EXPECT_EQ(read_file(longest), "abc");
  ASSERT_TRUE(delete_file(longest));
  // A file in the way of a folder.
  EXPECT_FALSE(create_directories(file + "/sub"));
}

}  // namespace
}  // namespace zarvex

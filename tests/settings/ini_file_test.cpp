#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_system.h"
#include "support/scratch_folder.h"

namespace zarvex {
namespace {

namespace fs = std::filesystem;

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(dir_.path().empty()); }
  void put(const std::string& contents) { dir_.put_text("data/test.ini", contents); }
  std::string contents() const { return read_file(path_).value_or(""); }

  test::ScratchFolder dir_;
  const std::string path_ = dir_.file("data/test.ini");
};

TEST_F(IniFileTest, ReadsValuesAsAProfileFileDoes) {
  struct Case {
    const char* name;
    std::string file;
    std::string section, key;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"crlf", "[musicset]\r\nsetdir=D:\\music\r\n", "musicset", "setdir", "D:\\music"},
      {"lf and blanks around =", "[musicset]\n  downnum =  5 \n", "musicset", "downnum", "5"},
      {"names ignore ascii case", "[MusicSet]\r\nDownTh=7\r\n", "musicset", "downth", "7"},
      {"blank and comment lines", "\r\n; downth=9\r\n[musicset]\r\n\r\ndownth=4\r\n", "musicset",
       "downth", "4"},
      {"quotes dropped", "[s]\nk=\"  a b \"\n", "s", "k", "  a b "},
      {"value with =", "[s]\nk=a=b\n", "s", "k", "a=b"},
      {"empty value is not missing", "[s]\nk=\n", "s", "k", ""},
      {"first key wins", "[s]\nk=1\nk=2\n", "s", "k", "1"},
      {"key of another section", "[a]\nk=1\n[b]\nx=2\n", "b", "k", "<default>"},
      {"missing section", "[a]\nk=1\n", "b", "k", "<default>"},
      {"no line end at the end", "[s]\nk=last", "s", "k", "last"},
      {"gbk value", "[s]\r\nk=\xB8\xE8\xCA\xD6\r\n", "s", "k", "\xB8\xE8\xCA\xD6"},
      // 0x81 0x41 and 0x81 0x61 are two different GBK characters; folding the second byte as
      // a letter would confuse them.
      {"gbk trail byte not folded", "[s]\nk\x81\x61=1\n", "s", "k\x81\x41", "<default>"},
      {"gbk name matches itself", "[s]\nk\x81\x41=1\n", "s", "k\x81\x41", "1"},
      {"byte-order mark skipped", "\xEF\xBB\xBF[s]\nk=v\n", "s", "k", "v"},
  };
  for (const auto& c : cases) {
    put(c.file);
    EXPECT_EQ(read_ini_value(path_, c.section, c.key, "<default>"), c.expected) << c.name;
  }
}

TEST_F(IniFileTest, MissingFileGivesDefault) {
  EXPECT_EQ(read_ini_value(path_, "s", "k", "dflt"), "dflt");
  EXPECT_TRUE(read_ini_section(path_, "s").empty());
}

TEST_F(IniFileTest, WritesKeepEveryOtherLine) {
  struct Case {
    const char* name;
    std::string before;  // "<none>": no file at all
    std::string section, key, value;
    std::string after;
  };
  const std::vector<Case> cases = {
      {"new file and folder", "<none>", "musicset", "setdir", "a", "[musicset]\r\nsetdir=a\r\n"},
      {"replace in place", "; top\r\n[musicset]\r\nsetdir = old\r\ndownth=3\r\n", "musicset",
       "SETDIR", "new", "; top\r\n[musicset]\r\nSETDIR=new\r\ndownth=3\r\n"},
      {"add after the section's last entry", "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n", "A", "z", "3",
       "[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2\r\n"},
      {"add section at end, lf kept", "[a]\nx=1", "b", "k", "v", "[a]\nx=1\n[b]\nk=v\n"},
      {"empty section header", "[a]\n[b]\n", "a", "k", "v", "[a]\nk=v\n[b]\n"},
      {"gbk value", "<none>", "s", "k", "\xB8\xE8\xCA\xD6", "[s]\r\nk=\xB8\xE8\xCA\xD6\r\n"},
      {"replaced last line without end", "[s]\nk=1", "s", "k", "2", "[s]\nk=2\n"},
  };
  for (const auto& c : cases) {
    std::error_code ec;
    fs::remove_all(dir_.path() + "/data", ec);
    if (c.before != "<none>") put(c.before);
    ASSERT_TRUE(write_ini_value(path_, c.section, c.key, c.value)) << c.name;
    EXPECT_EQ(contents(), c.after) << c.name;
    EXPECT_EQ(read_ini_value(path_, c.section, c.key, "<default>"), c.value) << c.name;
  }
}

TEST_F(IniFileTest, RefusesTextsThatWouldBreakTheFile) {
  put("[s]\r\nk=1\r\n");
  struct Case {
    std::string section, key, value;
  };
  const std::vector<Case> cases = {
      {"s", "k", "2\r\nk2=injected"},
      {"s", "k=x", "2"},
      {"s", "", "2"},
      {"s]", "k", "2"},
      {"s\n", "k", "2"},
      {"s", "[k", "2"},
      {"s", ";k", "2"},
  };
  for (const auto& c : cases)
    EXPECT_FALSE(write_ini_value(path_, c.section, c.key, c.value));
  EXPECT_EQ(contents(), "[s]\r\nk=1\r\n");
}

TEST_F(IniFileTest, ReadsAllKeysOfASection) {
  put("[a]\r\nx=1\r\n[musicset]\r\n; note\r\nsetdir = D:\\m "
      "\r\nDownTh=3\r\ndownth=9\r\n[b]\r\ny=2\r\n");
  IniEntries expected = {{"setdir", "D:\\m"}, {"DownTh", "3"}};
  EXPECT_EQ(read_ini_section(path_, "MUSICSET"), expected);
}

TEST_F(IniFileTest, ConcurrentWritersLoseNoKey) {
  constexpr int kPerThread = 25;
  auto writer = [this](const std::string& prefix) {
    for (int i = 0; i < kPerThread; ++i)
      write_ini_value(path_, "s", prefix + std::to_string(i), std::to_string(i));
  };
  std::thread a(writer, "a"), b(writer, "b");
  a.join();
  b.join();
  EXPECT_EQ(read_ini_section(path_, "s").size(), 2u * kPerThread);
  EXPECT_EQ(read_ini_value(path_, "s", "b24"), "24");
}

}  // namespace
}  // namespace zarvex

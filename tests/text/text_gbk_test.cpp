#include "service/text_gbk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zarvex {
namespace {

constexpr auto npos = std::string_view::npos;

// "\x95\x5C" and "\x81\x40" are GBK characters whose second byte is "\" and "@".
TEST(GbkText, FindMatchesOnlyAtCharacterStarts) {
  struct Case {
    std::string text, marker;
    std::size_t from, expected;
  } cases[] = {
      {"abcabc", "bc", 0, 1},
      {"abcabc", "bc", 2, 4},
      {"abc", "", 0, npos},
      {"abc", "x", 0, npos},
      {"abc", "c", 9, npos},
      {"\x95\\", "\\", 0, npos},         // "\" is the second byte of the character
      {"\x95\\\\", "\\", 0, 2},          // the next "\" stands on its own
      {"\x81@x@", "@", 0, 3},            // "@" inside the character is skipped
      {"\xD6\xD0\xD0x", "\xD0x", 0, 2},  // 中 then D0 78: the match at 1 straddles
      {"\xD6\xD0x", "\xD0x", 0, npos},   // only the straddling match exists
      {"a\xD6\xD0\xCE\xC4", "\xCE\xC4", 0, 3},
      {"\xB0", "\xB0", 0, 0},  // a lead byte at the end stands alone
  };
  for (const auto& c : cases) {
    EXPECT_EQ(gbk_find(c.text, c.marker, c.from), c.expected) << c.text << " / " << c.marker;
  }
  EXPECT_TRUE(gbk_contains("\x95\\\\", "\\"));
  EXPECT_FALSE(gbk_contains("\x95\\", "\\"));
}

TEST(GbkText, SplitKeepsInnerEmptyPiecesButNotAFinalOne) {
  using V = std::vector<std::string>;
  struct Case {
    std::string text, separator;
    V expected;
  } cases[] = {
      {"", ",", {}},
      {"a", ",", {"a"}},
      {"a,b", ",", {"a", "b"}},
      {",a", ",", {"", "a"}},
      {"a,,b", ",", {"a", "", "b"}},
      {"a,", ",", {"a"}},
      {",", ",", {""}},
      {",,", ",", {"", ""}},
      {"a; b; c", "; ", {"a", "b", "c"}},
      {"a\x95\\b\\c", "\\", {"a\x95\\b", "c"}},
      {"ab", "", {"ab"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(gbk_split(c.text, c.separator), c.expected) << c.text;
  }
}

TEST(GbkText, ReplaceAllSkipsSecondBytesAndDoesNotOverlap) {
  struct Case {
    std::string text, from, to, expected;
  } cases[] = {
      {"a.b.c", ".", "", "abc"},
      {"aaa", "aa", "b", "ba"},
      {"xax", "a", "aa", "xaax"},  // the replacement is not searched again
      {"\x95\\\\", "\\", "/", "\x95\\/"},
      {"abc", "", "z", "abc"},
      {"", "a", "b", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(gbk_replace_all(c.text, c.from, c.to), c.expected) << c.text;
  }
}

TEST(GbkText, EdgesAndEndOfText) {
  EXPECT_TRUE(gbk_starts_with("\xD6\xD0x", "\xD6\xD0"));
  EXPECT_FALSE(gbk_starts_with("ab", "abc"));
  EXPECT_TRUE(gbk_ends_with("a.mp3", ".mp3"));
  EXPECT_TRUE(gbk_ends_with("\x95\\\\", "\\"));
  EXPECT_FALSE(gbk_ends_with("\x95\\", "\\"));
  EXPECT_FALSE(gbk_ends_with("p3", ".mp3"));
  EXPECT_EQ(gbk_text(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(gbk_text("abc"), "abc");
}

}  // namespace
}  // namespace zarvex

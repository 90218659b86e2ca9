#include "service/text_codecs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace zarvex {
namespace {

TEST(TextCodecs, ConvertsWholeTextsUpToTheFirstZeroByte) {
  struct Case {
    std::string utf8, gbk;
  } cases[] = {
      {"", ""},
      {"Jay Chou 7", "Jay Chou 7"},
      {"\xE4\xB8\xAD\xE6\x96\x87", "\xD6\xD0\xCE\xC4"},  // 中文
      {"\xEF\xBC\x9F", "\xA3\xBF"},                      // full-width question mark
  };
  for (const auto& c : cases) {
    EXPECT_EQ(utf8_to_gbk(c.utf8), c.gbk);
    EXPECT_EQ(gbk_to_utf8(c.gbk), c.utf8);
  }
  EXPECT_EQ(utf8_to_gbk("a\xEA\xB0\x80"
                        "b"),
            "a?b");  // a Hangul syllable has no GBK form
  EXPECT_EQ(utf8_to_gbk("a\xFF"
                        "b"),
            "a?b");  // not UTF-8
  EXPECT_EQ(utf8_to_gbk(std::string("ab\0\xE4\xB8\xAD", 6)), "ab");
  EXPECT_EQ(gbk_to_utf8(std::string("\xD6\xD0\0x", 4)), "\xE4\xB8\xAD");
}

TEST(TextCodecs, JsonpUnwrapDropsNamePlusOneAndTheLastByte) {
  struct Case {
    std::string answer, name, expected;
  } cases[] = {
      {"callback({\"a\":1})", "callback", "{\"a\":1}"},
      {"callback({\"a\":1})\n", "callback", "{\"a\":1})"},  // only the newline goes
      {"jsonp1([1])", "jsonp1", "[1]"},
      {"callback(x)", "callback", "x"},  // N + 3 bytes
      {"callback()", "callback", ""},    // N + 2 bytes
      {"callback", "callback", ""},
      {"", "callback", ""},
      {"othernam({})", "callback", "{}"},  // the name is not compared
      {"callback( {} );", "callback", " {} )"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(jsonp_unwrap(c.answer, c.name), c.expected) << c.answer;
  }
}

TEST(TextCodecs, UrlEncodeEncodesEveryUtf8Byte) {
  struct Case {
    std::string gbk, expected;
  } cases[] = {
      {"", ""},
      {"a b", "%61%20%62"},
      {"\xD6\xD0", "%E4%B8%AD"},  // 中: its UTF-8 bytes, not its GBK bytes
      {"+-_.~*", "%2B%2D%5F%2E%7E%2A"},
      {"A\x7F", "%41%7F"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(url_encode(c.gbk), c.expected) << c.gbk;
  }
  // No ASCII byte passes through unchanged.
  for (int byte = 1; byte < 0x80; ++byte) {
    char expected[4];
    std::snprintf(expected, sizeof expected, "%%%02X", byte);
    EXPECT_EQ(url_encode(std::string(1, static_cast<char>(byte))), expected) << byte;
  }
}

TEST(TextCodecs, CleanRowTextReplacesInOrder) {
  struct Case {
    std::string text, expected;
  } cases[] = {
      {"AC/DC & Co. ?", "AC-DC  Co \xA3\xBF"},
      {"??", "\xA3\xBF\xA3\xBF"},
      {"a.b&c/d", "abc-d"},
      {"\xD6\xD0/\xCE\xC4?", "\xD6\xD0-\xCE\xC4\xA3\xBF"},
      {"\x95\\.", "\x95\\"},  // the character with a "\" second byte stays whole
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(clean_row_text(c.text), c.expected) << c.text;
  }
}

TEST(TextCodecs, TextBetweenTakesFirstLeftThenRightAfterIt) {
  struct Case {
    std::string text, left, right, expected;
  } cases[] = {
      {"a=[x];", "[", "]", "x"},
      {"]a[x]b[y]", "[", "]", "x"},  // the right marker is searched after the left one
      {"[x][y]", "[", "]", "x"},
      {"[]", "[", "]", ""},
      {"[x", "[", "]", ""},
      {"x]", "[", "]", ""},
      {"<V>1.9</V>", "<v>", "</v>", ""},  // case matters
      {"k= v ;", "k=", ";", " v "},       // nothing trimmed
      {"\x95\\a\\b;", "\\", ";", "b"},    // the first "\" is inside a character
      {"abc", "", "c", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(text_between(c.text, c.left, c.right), c.expected) << c.text;
  }
}

TEST(TextCodecs, TrimRemovesBlanksAndFullWidthBlanksOnly) {
  struct Case {
    std::string text, expected;
  } cases[] = {
      {"  a b  ", "a b"},
      {"\xA1\xA1 a \xA1\xA1", "a"},
      {"\ta\r\n", "\ta\r\n"},
      {"", ""},
      {"   ", ""},
      {"\xA1\xA1\xA1\xA1", ""},
      {"\xB0\xA1\xA1\xA1", "\xB0\xA1"},    // 啊 then a full-width blank
      {"x\xC4\xA1\xA1", "x\xC4\xA1\xA1"},  // A1 A1 straddles a character and a lone byte
  };
  for (const auto& c : cases) {
    EXPECT_EQ(trim(c.text), c.expected) << c.text;
  }
}

}  // namespace
}  // namespace zarvex

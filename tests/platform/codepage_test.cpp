#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace zarvex {
namespace {

TEST(Codepage, RoundTripsAndSubstitutes) {
  struct Case {
    std::string utf8;
    std::string gbk;
  } cases[] = {
      {"", ""},
      {"abc 123", "abc 123"},
      {"\xE4\xB8\xAD\xE6\x96\x87", "\xD6\xD0\xCE\xC4"},  // 中文
      {"\xEF\xBC\x9F", "\xA3\xBF"},                      // full-width question mark
      {"a\xEA\xB0\x80" "b", "a?b"},                      // a Hangul syllable has no GBK form
      {"a\xFF" "b", "a?b"},                              // not UTF-8
      {"x\xE4\xB8", "x?"},                               // cut-off character at the end
  };
  for (const auto& c : cases) {
    EXPECT_EQ(gbk_from_utf8(c.utf8), c.gbk) << c.utf8;
  }
  EXPECT_EQ(utf8_from_gbk("\xD6\xD0\xCE\xC4"), "\xE4\xB8\xAD\xE6\x96\x87");
  EXPECT_EQ(utf8_from_gbk(std::string("a\0b", 3)), std::string("a\0b", 3));
}

}  // namespace
}  // namespace zarvex

#include "session/session_keys.h"

#include <gtest/gtest.h>

#include <string>

namespace zarvex {
namespace {

// Hashes worked out from h = 5381; h = h * 33 + byte (mod 2^32); h & 0x7fffffff.
TEST(SessionKeys, GtkHash) {
  struct Case {
    std::string text, expected;
  } cases[] = {
      {"", "5381"},
      {"@", "177637"},
      {"abc", "193485963"},
      {"@ZxK9pQ2mW", "88836594"},
      {"@abcdefghi", "34812434"},
      {"@abc", "2088882539"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(gtk_hash(c.text), c.expected) << c.text;
  }
  std::string long_text = "@";
  for (int i = 0; i < 500; ++i)
    long_text += "Zq";
  EXPECT_EQ(gtk_hash(long_text), "853654241");
  // A byte of 80 hex or more alone is no GBK character; it counts as "?", never as a
  // sign-extended or out-of-range code.
  EXPECT_EQ(gtk_hash("@\xD6\xD0"), gtk_hash("@??"));
  // Code page 936 reads 80 hex alone as the euro sign U+20AC: 5381 * 33 + 0x20AC.
  EXPECT_EQ(gtk_hash("\x80"), "185937");
}

TEST(SessionKeys, DerivesUinAndGtkFromTheCookieText) {
  struct Case {
    std::string cookie, uin, g_tk;
  } cases[] = {
      {"pt2gguin=o0123456; uin=o00123; skey=@ZxK9pQ2mW; p_skey=abc;", "123", "88836594"},
      {"a=1; uin=o000012; skey=@abcdefghi", "012", "34812434"},  // skey last, no ";"
      {"a=1; uin=o000012; skey=@abcdefghi;", "012", "34812434"},
      {"p_uin=o999; p_skey=@ZZZ; uin=o5; skey=@abcdefghi;", "5", "34812434"},
      {"xyz; a=1; b=22", "", "1864927218"},  // no skey: "@" + the last 9 bytes
      {"e=5", "", "2088885628"},             // no skey, shorter than 9 bytes
      {"", "", "177637"},
      // The cookie may stand first or last in the text.
      {"uin=o0042; skey=@abcdefghi; a=1", "42", "34812434"},
      {"skey=@abcdefghi; a=1; uin=o777", "777", "34812434"},
      {"uin=o1; skey=@abc", "1", "2088882539"},
  };
  for (const auto& c : cases) {
    const SessionKeys keys = derive_session_keys(c.cookie);
    EXPECT_EQ(keys.uin, c.uin) << c.cookie;
    EXPECT_EQ(keys.g_tk, c.g_tk) << c.cookie;
  }
}

TEST(SessionKeys, HexToInt) {
  struct Case {
    std::string hex;
    std::int32_t expected;
  } cases[] = {
      {"7fffffff", 2147483647},
      {"7FFFFFFF", 2147483647},
      {"", 0},
      {"0", 0},
      {"10", 16},
      {"ff", 255},
      {"g", -2},
      {"1g", 14},
      {"ffffffff", -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(hex_to_int(c.hex), c.expected) << c.hex;
  }
}

TEST(SessionKeys, Utf16Bytes) {
  struct Case {
    std::string gbk;
    bool drop_terminator;
    std::string expected;
  } cases[] = {
      {"", false, ""},
      {"", true, ""},
      {"a", false, std::string("a\0\0\0", 4)},
      {"a", true, std::string("a\0", 2)},
      {"\xD6\xD0", true, "\x2D\x4E"},  // 中 is U+4E2D
      {std::string("a\0b", 3), true, std::string("a\0", 2)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(to_utf16_bytes(c.gbk, c.drop_terminator), c.expected) << c.gbk;
  }
}

}  // namespace
}  // namespace zarvex

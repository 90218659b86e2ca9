#include "update/base64.h"

#include <gtest/gtest.h>

#include <string>

namespace zarvex {
namespace {

TEST(Base64, DecodesWithOrWithoutPaddingAndSkipsBlanks) {
  struct Case {
    std::string text, expected;
  } cases[] = {
      {"", ""},
      {"TWFu", "Man"},
      {"TWE=", "Ma"},
      {"TWE", "Ma"},
      {"TQ==", "M"},
      {"TQ", "M"},
      {"/+8A", std::string("\xFF\xEF\0", 3)},
      {"aHR0cHM6Ly9leGFtcGxlLm9yZy8=", "https://example.org/"},
      {"aHR0cHM6Ly9leGFt\r\ncGxlLm9yZy8=", "https://example.org/"},
      {"aHR0cHM6Ly9leGFt\ncGxlLm9yZy8=", "https://example.org/"},
      {" TW Fu\t", "Man"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(base64_decode(c.text), c.expected) << c.text;
  }
}

TEST(Base64, RejectsWhatIsNotBase64) {
  const char* cases[] = {
      "TW!u",   // foreign character
      "T",      // a lone digit carries no byte
      "TWFuT",  // the same after whole groups
      "TQ=x",   // a digit after padding
      "=TQ",    // padding first
      "TQ===",  // too much padding
      "TWFu=",  // padding after a whole group
      "TQ=",    // padding that does not fill the group
      "TW-_",   // the URL alphabet is another alphabet
  };
  for (const char* text : cases) {
    EXPECT_EQ(base64_decode(text), "") << text;
  }
}

}  // namespace
}  // namespace zarvex

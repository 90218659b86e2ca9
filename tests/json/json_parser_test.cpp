#include <gtest/gtest.h>

#include <string>

#include "json/json_document.h"
#include "json_test_support.h"
#include "platform/codepage.h"

namespace zarvex {
namespace {

using test::describe_nodes;

struct ParseCase {
  const char* label;
  std::string text;
  bool strict;
  int32_t code;
  int32_t error_position;
  const char* nodes;  // depth|kind|member_of|name|value per line
};

class ParseTable : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTable, GivesNodesAndError) {
  const ParseCase& c = GetParam();
  JsonDocument document;
  EXPECT_EQ(document.parse_text(c.text, c.strict), c.code);
  int32_t position = 0, line = 0, column = 0;
  std::string message;
  EXPECT_EQ(document.get_error(position, message, line, column), c.code);
  EXPECT_EQ(position, c.error_position);
  EXPECT_EQ(message.empty(), c.code == 0);
  EXPECT_EQ(describe_nodes(document), c.nodes);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, ParseTable,
    ::testing::Values(
        ParseCase{"empty_object", "{}", true, 0, 0, "1|4|0||{ 0 }"},
        ParseCase{"empty_array", " [ ] ", true, 0, 0, "1|5|0||[ 0 ]"},
        ParseCase{"empty_text", "", true, 0, 0, ""},
        ParseCase{"mixed", R"({"a":1,"b":[true,null,"x\ty"]})", true, 0, 0,
                  "1|4|0||{ 2 }\n2|1|4|a|1\n2|5|4|b|[ 3 ]\n3|3|5|[0]|true\n3|6|5|[1]|null\n"
                  "3|2|5|[2]|x\\ty"},
        ParseCase{"tab_in_string_kept_as_escape", "[\"x\ty\"]", false, 0, 0,
                  "1|5|0||[ 1 ]\n2|2|5|[0]|x\\ty"},
        ParseCase{"objects_in_arrays", R"([{"a":[]},{}])", true, 0, 0,
                  "1|5|0||[ 2 ]\n2|4|5|[0]|{ 1 }\n3|5|4|a|[ 0 ]\n2|4|5|[1]|{ 0 }"},
        ParseCase{"escaped_quote_stays_in_string", R"({"a":"x\"y\\"})", true, 0, 0,
                  "1|4|0||{ 1 }\n2|2|4|a|x\\\"y\\\\"},
        ParseCase{"callback_prefix_skipped_then_text_after_end", R"(callback({"a":1}))", false, 1,
                  17, "1|4|0||{ 1 }\n2|1|4|a|1"},
        ParseCase{"callback_prefix_without_close", R"(callback({"a":1})", false, 0, 0,
                  "1|4|0||{ 1 }\n2|1|4|a|1"},
        ParseCase{"truncated_object_closed", R"({"a":1)", false, 0, 0, "1|4|0||{ 1 }\n2|1|4|a|1"},
        ParseCase{"truncated_after_colon", R"({"a":)", false, 0, 0, "1|4|0||\n2|0|4|a|"},
        ParseCase{"truncated_string", R"({"a":"xy)", false, 0, 0, "1|4|0||{ 1 }\n2|2|4|a|xy"},
        ParseCase{"bare_names", R"({a:1,b:"x"})", false, 0, 0,
                  "1|4|0||{ 2 }\n2|1|4|a|1\n2|2|4|b|x"},
        ParseCase{"bare_name_keeps_blank", "{a :1}", false, 0, 0, "1|4|0||{ 1 }\n2|1|4|a |1"},
        ParseCase{"missing_colon", R"({"a" 1})", false, 0, 0, "1|4|0||{ 1 }\n2|1|4|a|1"},
        ParseCase{"blank_inside_literal", "[1 2]", false, 0, 0, "1|5|0||[ 1 ]\n2|1|5|[0]|12"},
        ParseCase{"empty_element", "[1,,2]", false, 0, 0,
                  "1|5|0||[ 3 ]\n2|1|5|[0]|1\n2|6|5|[1]|\n2|1|5|[2]|2"},
        ParseCase{"trailing_comma_in_object", R"({"a":1,})", false, 0, 0,
                  "1|4|0||{ 2 }\n2|1|4|a|1\n2|6|4||"},
        ParseCase{"trailing_comma_in_array", "[1,]", false, 0, 0,
                  "1|5|0||[ 2 ]\n2|1|5|[0]|1\n2|6|5|[1]|"},
        ParseCase{"lenient_literals", "[1e5,TRUE,Null,-,007,1.e+5,1E+5,x]", false, 0, 0,
                  "1|5|0||[ 8 ]\n2|0|5|[0]|1e5\n2|3|5|[1]|true\n2|6|5|[2]|null\n2|1|5|[3]|-\n"
                  "2|1|5|[4]|007\n2|1|5|[5]|1.e+5\n2|1|5|[6]|1E+5\n2|0|5|[7]|x"},
        ParseCase{"mismatched_closer_lenient", R"({"a":1])", false, 0, 0,
                  "1|4|0||{ 1 }\n2|1|4|a|1"},
        ParseCase{"empty_value_before_brace", R"({"a":})", true, 0, 0, "1|4|0||{ 1 }\n2|6|4|a|"},
        ParseCase{"strict_text_before_document", " x{}", true, 2, 2, ""},
        ParseCase{"strict_missing_comma_between_members", R"({"a":"x" "b":2})", true, 11, 10,
                  "1|4|0||{ 1 }\n2|2|4|a|x"},
        ParseCase{"strict_quote_swallowed_by_literal", R"({"a":1 "b":2})", true, 61, 13,
                  "1|4|0||{ 1 }\n2|0|4|a|1\"b\":2"},
        ParseCase{"strict_bracket_closes_object", R"({"a":1,])", true, 12, 8,
                  "1|4|0||{ 2 }\n2|1|4|a|1\n2|6|4||"},
        ParseCase{"strict_comma_without_member", "{,}", true, 13, 2, "1|4|0||{ 0 }"},
        ParseCase{"strict_bare_name", "{a:1}", true, 14, 2, "1|4|0||{ 0 }"},
        ParseCase{"strict_trailing_comma_object", R"({"a":1,})", true, 15, 8,
                  "1|4|0||{ 2 }\n2|1|4|a|1\n2|6|4||"},
        ParseCase{"strict_tab_in_name", "{\"a\tb\":1}", true, 21, 4, "1|4|0||\n2|0|4|a|"},
        ParseCase{"strict_colon_missing", R"({"a" 1})", true, 31, 6, "1|4|0||\n2|0|4|a|"},
        ParseCase{"strict_brace_closes_array", "[1}", true, 62, 3, "1|5|0||[ 1 ]\n2|1|5|[0]|1"},
        ParseCase{"strict_brace_in_empty_array", "[}", true, 41, 2, "1|5|0||[ 0 ]"},
        ParseCase{"strict_blank_inside_literal", "[1 ,2 3]", true, 0, 0,
                  "1|5|0||[ 2 ]\n2|1|5|[0]|1\n2|1|5|[1]|23"},
        ParseCase{"strict_element_after_string", R"(["a" 1])", true, 42, 6,
                  "1|5|0||[ 1 ]\n2|2|5|[0]|a"},
        ParseCase{"strict_leading_comma_array", "[,1]", true, 43, 2, "1|5|0||[ 0 ]"},
        ParseCase{"strict_trailing_comma_array", "[1,]", true, 44, 4,
                  "1|5|0||[ 2 ]\n2|1|5|[0]|1\n2|6|5|[1]|"},
        ParseCase{"strict_empty_value_after_comma", R"({"x":1,"a":})", true, 51, 12,
                  "1|4|0||\n2|1|4|x|1\n2|0|4|a|"},
        ParseCase{"strict_uppercase_true", "[TRUE]", true, 61, 6, "1|5|0||[ 1 ]\n2|3|5|[0]|true"},
        ParseCase{"strict_newline_in_string", "[\"a\nb\"]", true, 71, 4,
                  "1|5|0||[ 1 ]\n2|2|5|[0]|a"},
        ParseCase{"text_after_document", "{} {", true, 1, 4, "1|4|0||{ 0 }"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(JsonParser, StopsReadingAtTheFirstError) {
  JsonDocument document;
  ASSERT_EQ(document.parse_text(R"({"a":"x" "b":2,"c":3})", true), 11);
  EXPECT_EQ(document.node_count(), 2);  // "b" and "c" never read
  EXPECT_EQ(document.get_text("c"), "");
}

TEST(JsonParser, CountsLinesAndColumnsUpToTheError) {
  JsonDocument document;
  ASSERT_EQ(document.parse_text("{\r\n \"a\":1,\n \"b\" 2}", true), 31);
  int32_t position = 0, line = 0, column = 0;
  std::string message;
  document.get_error(position, message, line, column);
  EXPECT_EQ(position, 17);
  EXPECT_EQ(line, 2);
  EXPECT_EQ(column, 6);  // carriage returns are not counted
}

TEST(JsonParser, ErrorMessagesAreGbkTextsWithTheirFills) {
  struct MessageCase {
    const char* text;
    int32_t code;
    const char* utf8_message;
  };
  const MessageCase cases[] = {
      {R"({"a":"x" "b":2})", 11, "对象间的成员需要以逗号“,”隔开。\r\n调用方法:大括号()"},
      {"[tRue]", 61,
       "成员值类型无法确定，可能缺少引号或者大小写错误，(注意：逻辑型\\空null类型只接受小写)，"
       "错误值：tRue\r\n调用方法:对象值_获取其他()"},
      {R"({"a":1])", 62,
       "对象结束符无法匹配，不应该为：],而应该为：}\r\n调用方法:对象值_获取其他()"},
      {"[1}", 62, "数组结束符无法匹配，不应该为：},而应该为：]\r\n调用方法:对象值_获取其他()"},
      {"{x}", 14, "对象大括号内“{ }”后面仅仅可以出现空字符或者引号“\"”\r\n调用方法:大括号()"},
      {R"({"x":1,"a":])", 51,
       "获取对象值时发现成员结束符“]”，不允许成员值全空(空类型请赋予“null”)\r\n调用方法:对象值_"
       "准备获取()"},
      {"x", 2, "JSON代码起始文本应该以大括号“{”或者方括号“[”开头\r\n调用方法:加入json字节集()"},
      {"[\"\t\"]", 71,
       "文本中不允许包含回车、换行、制表符，应分别用\\r \\n \\t "
       "代替\r\n调用方法:对象值_获取文本()"},
  };
  for (const MessageCase& c : cases) {
    JsonDocument document;
    ASSERT_EQ(document.parse_text(c.text, true), c.code) << c.text;
    int32_t position = 0, line = 0, column = 0;
    std::string message;
    document.get_error(position, message, line, column);
    EXPECT_EQ(message, gbk_from_utf8(c.utf8_message)) << c.text;
  }
  // The full-width quotation marks are the GBK bytes A1 B0 and A1 B1.
  JsonDocument document;
  document.parse_text("x", true);
  int32_t position = 0, line = 0, column = 0;
  std::string message;
  document.get_error(position, message, line, column);
  EXPECT_NE(message.find("\xA1\xB0{\xA1\xB1"), std::string::npos);
}

TEST(JsonParser, LiteralIsLowercasedOnlyOutsideDoubleByteCharacters) {
  // 81 41 is one character whose second byte is the letter A; lowercasing must keep it.
  JsonDocument document;
  ASSERT_EQ(document.parse_text("[X\x81\x41Y]"), 0);
  EXPECT_EQ(document.nodes()[1].value, "x\x81\x41y");
  EXPECT_EQ(document.nodes()[1].kind, kJsonUnclassified);
}

TEST(JsonParser, SecondByteFiveCOfACharacterIsNoBackslash) {
  // 81 5C is one character; its second byte must neither escape the closing quote nor make
  // the next member part of the string.
  JsonDocument document;
  ASSERT_EQ(document.parse_text("{\"title\":\"\x81\x5C\",\"singer\":\"x\"}", true), 0);
  EXPECT_EQ(document.get_text("title"), "\x81\x5C");
  EXPECT_EQ(document.get_text("singer"), "x");
  // A real backslash after a whole character still escapes.
  ASSERT_EQ(document.parse_text("[\"\x81\x5C\\\"\"]", true), 0);
  EXPECT_EQ(document.get_text("[0]"), "\x81\x5C\"");
}

TEST(JsonParser, BraceAfterTrailingCommaInArrayClosesOnlyTheArray) {
  JsonDocument document;
  ASSERT_EQ(document.parse_text(R"({"x":[1,},"y":2})"), 0);
  EXPECT_EQ(describe_nodes(document),
            "1|4|0||{ 2 }\n2|5|4|x|[ 2 ]\n3|1|5|[0]|1\n3|6|5|[1]|\n2|1|4|y|2");
  ASSERT_EQ(document.parse_text("[1,}"), 0);
  EXPECT_TRUE(document.is_complete());
  EXPECT_EQ(describe_nodes(document), "1|5|0||[ 2 ]\n2|1|5|[0]|1\n2|6|5|[1]|");
}

TEST(JsonParser, NamingModeReadsTopLevelMembers) {
  JsonDocument document;
  ASSERT_EQ(document.parse_text(R"("a":1,"b":{"c":"x"})", true, true), 0);
  EXPECT_EQ(describe_nodes(document), "1|1|4|a|1\n1|4|4|b|{ 1 }\n2|2|4|c|x");
  EXPECT_TRUE(document.is_complete());
  EXPECT_EQ(document.get_member_count("zzz"), 2);  // the top-level members
  EXPECT_EQ(document.get_text("c"), "x");
  // A closing brace after the members closes nothing: strict mode reports it.
  EXPECT_EQ(document.parse_text(R"("a":1})", true, true), 81);
  EXPECT_EQ(document.parse_text(R"("a":1})", false, true), 0);
  // Without naming mode a quote cannot begin a document.
  EXPECT_EQ(document.parse_text(R"("a":1)", true, false), 2);
}

TEST(JsonParser, ResetAllowsANewParseAndClearsTheError) {
  JsonDocument document;
  ASSERT_EQ(document.parse_text("{} x"), 1);
  EXPECT_EQ(document.add_bytes("{}"), 1);  // a failed document takes no more input
  document.reset();
  EXPECT_EQ(document.node_count(), 0);
  EXPECT_FALSE(document.is_complete());
  EXPECT_FALSE(document.finish());
  EXPECT_EQ(document.add_bytes(R"({"a")"), 0);
  EXPECT_FALSE(document.is_complete());
  EXPECT_EQ(document.add_bytes(R"(:2})"), 0);
  EXPECT_TRUE(document.is_complete());
  EXPECT_EQ(document.get_text("a"), "2");
}

TEST(JsonParser, SwappedOutNodesAreNotWrittenThrough) {
  JsonDocument document;
  ASSERT_EQ(document.add_bytes(R"({"a":[1,)", true, true), 0);
  std::vector<JsonNode> taken;
  document.swap_nodes(taken);
  EXPECT_EQ(taken.size(), 3u);
  EXPECT_EQ(document.node_count(), 0);
  // The open containers now point past the node list: strict mode says so, and nothing is
  // written outside the list.
  EXPECT_EQ(document.add_bytes("2]}"), 82);
  document.swap_nodes(taken);
  EXPECT_EQ(document.node_count(), 3);
  EXPECT_EQ(document.get_text("a"), "");  // the array never closed
}

}  // namespace
}  // namespace zarvex

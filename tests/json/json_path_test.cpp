#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "json/json_document.h"
#include "json/json_literal.h"
#include "json/json_path.h"
#include "json/json_string_decode.h"

namespace zarvex {
namespace {

constexpr const char* kSongs =
    R"({"data":{"song":{"list":[{"title":"A","singer":[{"name":"S1"},{"name":"S2"}]},)"
    R"({"title":"B","ok":TRUE,"n":-1.5,"none":null}]}}})";

struct PathCase {
  const char* document;
  const char* path;
  const char* text;  // get_text
  int32_t members;   // get_member_count
};

TEST(JsonPath, ReadsTextsAndCountsByPath) {
  const PathCase cases[] = {
      {kSongs, "data.song.list", "2", 2},
      {kSongs, "data.song", "1", 1},
      {kSongs, "data.song.list[1].title", "B", 0},
      {kSongs, "data.song.list.[1].title", "B", 0},
      {kSongs, "data.song.list[0].singer[1].name", "S2", 0},
      {kSongs, "data.song.list[2].title", "", 1},  // no such element: depth-1 count
      {kSongs, "data.song.list[1].ok", "true", 0},
      {kSongs, "data.song.list[1].n", "-1.5", 0},
      {kSongs, "data.song.list[1].none", "null", 0},
      {kSongs, "data.song.list[01].title", "", 1},
      {kSongs, "Data", "", 1},  // names are case-sensitive
      {kSongs, "", "1", 1},     // the root
      {"", "data", "", 0},
      {"", "", "", 0},
      {R"({"a.b":1})", "a.b", "", 1},  // a name with a dot cannot be reached
      {R"({"a":{"x":1},"a":{"y":2}})", "a.y", "2", 0},
      {R"({"a":{"x":1},"a":{"y":2}})", "a", "1", 1},  // the first "a"
      {R"({"a":{"b":{"c":1}},"a":{"b":{"c":2,"d":3}}})", "a.b.d", "3", 0},
      {R"([[1,2],[3]])", "[1][0]", "3", 0},
      {R"([[1,2],[3]])", "[0]", "2", 2},
      {R"({"[0]":"named","x":[5]})", "[0]", "named", 0},
      {R"({"":{"":7}})", ".", "7", 0},
      {R"({"a":{"":8}})", "a.", "8", 0},
      {R"({"l":[{},{"t":"x"}]})", "l[0]", "0", 0},
  };
  for (const PathCase& c : cases) {
    JsonDocument document;
    ASSERT_EQ(document.parse_text(c.document), 0) << c.document;
    EXPECT_EQ(document.get_text(c.path), c.text) << c.document << " @ " << c.path;
    EXPECT_EQ(document.get_member_count(c.path), c.members) << c.document << " @ " << c.path;
  }
}

TEST(JsonPath, NodeNumberWinsOverPathAndReportsKind) {
  JsonDocument document;
  ASSERT_EQ(document.parse_text(kSongs), 0);
  int32_t kind = -7, found = -1;
  EXPECT_EQ(document.get_text("nothing", 0, kind, true, found), "");
  EXPECT_EQ(found, 0);
  EXPECT_EQ(kind, -7);  // left unchanged when nothing is designated
  const int32_t title = document.find_node("data.song.list[0].title");
  ASSERT_GT(title, 0);
  EXPECT_EQ(document.get_text("nothing", title, kind, true, found), "A");
  EXPECT_EQ(found, title);
  EXPECT_EQ(kind, kJsonString);
  EXPECT_EQ(document.get_text("data.song.list", 0, kind, false, found), "[ 2 ]");
  EXPECT_EQ(kind, kJsonArray);
  EXPECT_EQ(document.get_member_count("", document.node_count() + 1, found), 1);
  EXPECT_EQ(found, 1);
}

TEST(JsonPath, FindNodeHonoursStartAndRelativeLookups) {
  JsonDocument document;
  ASSERT_EQ(document.parse_text(R"({"a":{"x":1},"b":{"x":2}})"), 0);
  // Nodes: 1 root, 2 a, 3 a.x, 4 b, 5 b.x.
  EXPECT_EQ(document.find_node("b.x"), 5);
  EXPECT_EQ(document.find_node("a.x", 4), 0);
  EXPECT_EQ(document.find_node("", 0), 1);
  EXPECT_EQ(document.find_node("a", 6), 0);
  EXPECT_EQ(document.find_node("x", 4, true), 5);
  EXPECT_EQ(document.find_node("x", 2, true), 3);
  EXPECT_EQ(document.find_node("", 4, true), 4);
}

TEST(JsonPath, SplitsPathsIntoSegments) {
  const std::pair<const char*, std::vector<std::string_view>> cases[] = {
      {"data.song.list[3].title", {"data", "song", "list", "[3]", "title"}},
      {"cdlist[0].songlist", {"cdlist", "[0]", "songlist"}},
      {"[0][1]", {"[0]", "[1]"}},
      {"[0].name", {"[0]", "name"}},
      {"", {""}},
      {"a.", {"a", ""}},
      {".[0]", {"[0]"}},
      {"list.[3]", {"list", "[3]"}},
      {"a..[3]", {"a", "", "[3]"}},
      {"a..b", {"a", "", "b"}},
      // 81 5B is one character: its second byte is no "[".
      {"\x81\x5B.x", {"\x81\x5B", "x"}},
  };
  std::vector<std::string_view> segments;
  for (const auto& [path, expected] : cases) {
    split_json_path(path, segments);
    EXPECT_EQ(segments, expected) << path;
  }
}

TEST(JsonStringDecode, DecodesEscapes) {
  const std::pair<std::string, std::string> cases[] = {
      {R"(\u4e2d)", "\xD6\xD0"},
      {R"(\u4E2D!)", "\xD6\xD0!"},
      {R"(\u0041)", "A"},
      {R"(\u12G4)", R"(\u12G4)"},
      {R"(a\qb)", R"(a\qb)"},
      {R"(\"\/\\\b\f\n\r\t)", "\"/\\\b\f\n\r\t"},
      {R"(x\)", "x"},
      {R"(x\u00)", "x"},
      {R"(\ud83d\ude00)", "??"},  // the halves of a pair are converted one by one
      {R"(\u0e01)", "?"},         // a character GBK lacks
      {std::string("\\u0000z", 7), std::string("\0z", 2)},
      {"\x81\x5C"
       R"(n)",
       "\x81\x5Cn"},  // 5C as second byte escapes nothing
      {"\\\x81\x5C"
       R"(n)",
       "\\\x81\x5Cn"},  // nor after an escaped first byte
      {"\xD6\xD0\\n", "\xD6\xD0\n"},
      {"", ""},
  };
  for (const auto& [value, expected] : cases) {
    EXPECT_EQ(decode_json_string(value), expected) << value;
  }
}

TEST(JsonLiteral, ClassifiesNumbers) {
  const std::pair<const char*, bool> cases[] = {
      {"-", true},        {"0", true},      {"007", true},     {"1.e+5", true},    {"1E+5", true},
      {"-2.5e-10", true}, {"1e5", false},   {"1.", false},     {".5", false},      {"+1", false},
      {"1e+", false},     {"1.5.2", false}, {"1e+5.0", false}, {"1e+5e+5", false}, {"", false},
      {"1x", false},      {"1e+-5", false}, {"1.5e+5", true},
  };
  for (const auto& [literal, number] : cases) {
    EXPECT_EQ(is_json_number(literal), number) << literal;
  }
}

TEST(JsonReads, NavigateTheTree) {
  JsonDocument document;
  ASSERT_EQ(document.parse_text(R"({"a":[1,{"b":2},[]],"c":"x"})"), 0);
  // Nodes: 1 root, 2 a, 3 a[0], 4 a[1], 5 a[1].b, 6 a[2], 7 c.
  int32_t found = 0;
  EXPECT_EQ(document.get_descendant_count("a", 0, false, found), 4);
  EXPECT_EQ(document.get_descendant_count("c", 0, false, found), 0);
  EXPECT_EQ(document.get_descendant_count("zz", 0, true, found), 6);
  EXPECT_EQ(document.parent_of("a[1].b", 0, 1, found), 4);
  EXPECT_EQ(document.parent_of("a[1].b", 0, 2, found), 2);
  EXPECT_EQ(document.parent_of("a[1].b", 0, 5, found), 0);
  EXPECT_EQ(document.child_at("a", 0, 2, found), 6);
  EXPECT_EQ(document.child_at("a", 0, 3, found), 0);
  EXPECT_EQ(document.sibling_position("c", 0, found), 1);
  EXPECT_EQ(document.sibling_position("a[2]", 0, found), 2);
  EXPECT_EQ(document.get_node("a[1].b", 0, found).value, "2");
  std::vector<JsonNode> subtree;
  EXPECT_EQ(document.copy_subtree("a[1]", 0, subtree, true), 2);
  EXPECT_EQ(subtree.front().name, "[1]");
  EXPECT_EQ(subtree.back().name, "b");
  std::string text;
  EXPECT_TRUE(document.to_json_text("a", 0, text, false, found));
  EXPECT_EQ(text, R"([1,{"b":2},[]])");
  EXPECT_TRUE(document.to_json_text("", 0, text, true, found));
  EXPECT_EQ(text,
            "{\r\n\t\"a\":[\r\n\t\t1,\r\n\t\t{\r\n\t\t\t\"b\":2\r\n\t\t},\r\n\t\t[]\r\n\t],"
            "\r\n\t\"c\":\"x\"\r\n}");
  EXPECT_FALSE(document.to_json_text("zz", 0, text, false, found));
}

TEST(JsonReads, WrittenTextAndPathsLeadBackToTheSameNodes) {
  const char* documents[] = {
      kSongs,
      R"({"a":[1,{"b":2},[]],"c":"x\"y","d":[null,true,false,-0.5e+3]})",
      R"([{"x":[[[]]]},"\u4e2d"])",
  };
  for (const char* source : documents) {
    JsonDocument document;
    ASSERT_EQ(document.parse_text(source), 0) << source;
    for (bool formatted : {false, true}) {
      std::string text;
      int32_t found = 0;
      ASSERT_TRUE(document.to_json_text("", 0, text, formatted, found));
      JsonDocument again;
      ASSERT_EQ(again.parse_text(text), 0) << text;
      EXPECT_EQ(again.nodes(), document.nodes()) << text;
    }
    for (int32_t n = 1; n <= document.node_count(); ++n) {
      EXPECT_EQ(document.find_node(document.path_of(n)), n) << source << " node " << n;
    }
  }
}

}  // namespace
}  // namespace zarvex

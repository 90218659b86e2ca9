// Properties that must hold for every input: feeding a text in pieces changes nothing, and
// the path index finds exactly what a walk over the whole node list finds.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "json/json_document.h"
#include "json_test_support.h"

namespace zarvex {
namespace {

using test::find_by_walk;
using test::outcome_of;
using test::parse_in_pieces;
using test::ParseOutcome;

std::vector<std::string> fixed_texts() {
  std::vector<std::string> texts = {
      "",
      "{}",
      R"({"a":1,"b":[true,null,"x\ty"]})",
      R"(callback({"data":{"song":{"list":[{"title":"\u4e2d\"q\\","id":7}]}}}))",
      "{\"t\":\"\xD6\xD0\xCE\xC4\",\"s\":\"\x81\x5C\",\"u\":\"\x81\x5C\\\"\"}",
      "[\"\xD6\"]",  // a lead byte right before the closing quote
      R"({a:1,b :"x",,c,})",
      "[1 2,,3,]",
      "[1e5,TRUE,-,007,x y]",
      R"({"a":"x" "b":2})",
      R"({"a":1 "b":2})",
      R"({"x":1,"a":})",
      R"({"a":}   )",
      "{\"a\tb\":\"c\td\"}",
      "{\r\n  \"a\" : [1,\r\n 2]\r\n}\r\n",
      R"({"x":[1,},"y":2})",
      R"({"a":1]  [)",
      R"("a":1,"b":{"c":"x"}})",
      R"({"a":"\)",
      R"({"a\":1})",
      "{\"a\":\"x\\\ny\"}",  // a line feed ends the string with an escape pending
      "{\"a\":\"x\xD6\nb\":1}",
  };
  // Deep nesting, both kinds.
  std::string deep;
  for (int i = 0; i < 40; ++i)
    deep += i % 2 ? "{\"k\":" : "[";
  deep += "1";
  for (int i = 39; i >= 0; --i)
    deep += i % 2 ? "}" : "]";
  texts.push_back(deep);
  texts.push_back(deep.substr(0, deep.size() / 2));
  return texts;
}

// Texts made of JSON-like pieces in random order, valid or not.
std::vector<std::string> random_texts(std::size_t count) {
  static const char* const kPieces[] = {
      "{",  "}",    "[",       "]",        ",",        ":",       "\"",   "\"a\"",         "\"b\":",
      " ",  "\t",   "\r\n",    "\n",       "1",        "-2.5e+3", "true", "NULL",          "x",
      "\\", "\\\"", "\\u4e2d", "\xD6\xD0", "\x81\x5C", "\xD6",    "[0]",  "{\"k\":\"v\"}", "[1,2]",
  };
  std::mt19937 random(20240611);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<int> length(1, 24);
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < count; ++i) {
    std::string text = random() % 4 == 0 ? "\"" : (random() % 2 ? "{" : "[");
    for (int k = length(random); k > 0; --k)
      text += kPieces[piece(random)];
    texts.push_back(text);
  }
  return texts;
}

void expect_same_in_pieces(const std::string& text, bool strict, bool named) {
  JsonDocument whole;
  whole.parse_text(text, strict, named);
  const ParseOutcome expected = outcome_of(whole);
  const std::string_view view(text);
  for (std::size_t split = 0; split <= text.size(); ++split) {
    const ParseOutcome got =
        parse_in_pieces({view.substr(0, split), view.substr(split)}, strict, named);
    ASSERT_EQ(got, expected) << "split at " << split << " of [" << text << "] strict " << strict
                             << " named " << named;
  }
  std::vector<std::string_view> bytes;
  for (std::size_t i = 0; i < text.size(); ++i)
    bytes.push_back(view.substr(i, 1));
  ASSERT_EQ(parse_in_pieces(bytes, strict, named), expected)
      << "byte by byte [" << text << "] strict " << strict << " named " << named;
}

TEST(JsonPieces, AnySplitGivesTheSameDocument) {
  std::vector<std::string> texts = fixed_texts();
  for (std::string& text : random_texts(400))
    texts.push_back(std::move(text));
  for (const std::string& text : texts) {
    for (bool strict : {false, true}) {
      for (bool named : {false, true}) {
        expect_same_in_pieces(text, strict, named);
        if (HasFatalFailure()) return;
      }
    }
  }
}

std::vector<std::string> all_paths(const std::vector<std::string>& names, std::size_t length) {
  std::vector<std::string> paths = {""};
  std::vector<std::string> level = {""};
  for (std::size_t k = 0; k < length; ++k) {
    std::vector<std::string> next;
    for (const std::string& prefix : level) {
      for (const std::string& name : names) {
        next.push_back(prefix.empty() ? name : prefix + "." + name);
        if (name.front() == '[' && !prefix.empty()) next.push_back(prefix + name);
      }
    }
    paths.insert(paths.end(), next.begin(), next.end());
    level = std::move(next);
  }
  return paths;
}

TEST(JsonPathIndex, FindsWhatAWalkOverAllNodesFinds) {
  const std::vector<std::string> names = {"a", "b", "[0]", "[1]", "x"};
  const std::vector<std::string> paths = all_paths(names, 3);
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    // Node lists whose depths wander as parsing never makes them: jumps down by several
    // levels, up by two, back to the top level, duplicate names, elements out of order.
    std::vector<JsonNode> nodes;
    const int count = 1 + static_cast<int>(random() % 30);
    int depth = 1;
    for (int i = 0; i < count; ++i) {
      JsonNode node;
      if (i > 0) {
        const int move = static_cast<int>(random() % 7);
        depth = move < 2    ? depth + 1
                : move == 2 ? depth + 2
                : move == 3 ? 1 + random() % 2
                : move == 4 ? depth - 1
                            : depth;
        if (depth < 1) depth = 1;
        node.name = round % 3 == 0 ? "[" + std::to_string(random() % 3) + "]"
                                   : names[random() % names.size()];
      }
      node.depth = depth;
      nodes.push_back(node);
    }
    JsonDocument document;
    std::vector<JsonNode> list = nodes;
    document.swap_nodes(list);
    for (const std::string& path : paths) {
      for (int32_t start : {0, 1, 2, count / 2, count, count + 1}) {
        ASSERT_EQ(document.find_node(path, start), find_by_walk(nodes, path, start))
            << "round " << round << " path [" << path << "] start " << start;
      }
    }
  }
}

TEST(JsonPathIndex, FindsWhatAWalkFindsInParsedDocuments) {
  std::vector<std::string> texts = fixed_texts();
  for (std::string& text : random_texts(200))
    texts.push_back(std::move(text));
  const std::vector<std::string> paths = all_paths({"a", "b", "k", "[0]", "[1]", ""}, 3);
  for (const std::string& text : texts) {
    for (bool named : {false, true}) {
      JsonDocument document;
      document.parse_text(text, false, named);
      for (const std::string& path : paths) {
        ASSERT_EQ(document.find_node(path), find_by_walk(document.nodes(), path, 0))
            << "[" << text << "] path [" << path << "]";
      }
    }
  }
}

}  // namespace
}  // namespace zarvex

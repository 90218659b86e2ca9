#pragma once
// Helpers shared by the JSON document tests.

#include <string>
#include <string_view>
#include <vector>

#include "json/json_document.h"
#include "json/json_path.h"
#include "json/json_path_index.h"

namespace zarvex::test {

// The nodes of a document, one line each: depth|kind|member_of|name|value.
inline std::string describe_nodes(const JsonDocument& document) {
  std::string text;
  for (const JsonNode& node : document.nodes()) {
    if (!text.empty()) text += '\n';
    text += std::to_string(node.depth) + '|' + std::to_string(node.kind) + '|' +
            std::to_string(node.member_of) + '|' + node.name + '|' + node.value;
  }
  return text;
}

// Everything a parse leaves for a caller to see.
struct ParseOutcome {
  std::vector<JsonNode> nodes;
  int32_t code = 0;
  int32_t position = 0;
  std::string message;
  int32_t line = 0;
  int32_t column = 0;
  bool complete = false;

  friend bool operator==(const ParseOutcome&, const ParseOutcome&) = default;
};

inline ParseOutcome outcome_of(const JsonDocument& document) {
  ParseOutcome outcome;
  outcome.nodes = document.nodes();
  outcome.code =
      document.get_error(outcome.position, outcome.message, outcome.line, outcome.column);
  outcome.complete = document.is_complete();
  return outcome;
}

// parse_text with the text fed through add_bytes in the given pieces.
inline ParseOutcome parse_in_pieces(const std::vector<std::string_view>& pieces, bool strict,
                                    bool named_top_level) {
  JsonDocument document;
  for (std::string_view piece : pieces)
    document.add_bytes(piece, strict, true, named_top_level);
  document.finish();
  return outcome_of(document);
}

// What find_node must give: a walk over the whole list.
inline int32_t find_by_walk(const std::vector<JsonNode>& nodes, std::string_view path,
                            int32_t start) {
  if (nodes.empty() || start > static_cast<int32_t>(nodes.size())) return 0;
  if (start <= 1 && path.empty()) return 1;
  std::vector<std::string_view> segments;
  split_json_path(path, segments);
  return json_find_by_scan(nodes, segments, start);
}

}  // namespace zarvex::test

// Feeds any bytes to the JSON document. Besides crashes and sanitizer reports it checks two
// properties and aborts when one fails: the same text fed in pieces gives the same nodes and
// error as fed whole, and the path index finds what a walk over all nodes finds.
//
// Input: byte 0 holds the mode (bit 0 strict, bit 1 naming mode), bytes 1 and 2 pick two
// split points; the rest is the text.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "json/json_document.h"
#include "json/json_path.h"
#include "json/json_path_index.h"

namespace {

using zarvex::JsonDocument;
using zarvex::JsonNode;

struct Outcome {
  std::vector<JsonNode> nodes;
  int32_t code = 0;
  int32_t position = 0;
  std::string message;
  int32_t line = 0;
  int32_t column = 0;
  bool complete = false;

  bool operator==(const Outcome&) const = default;
};

Outcome outcome_of(const JsonDocument& document) {
  Outcome outcome;
  outcome.nodes = document.nodes();
  outcome.code =
      document.get_error(outcome.position, outcome.message, outcome.line, outcome.column);
  outcome.complete = document.is_complete();
  return outcome;
}

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "json_document_fuzz: %s\n", what);
  std::abort();
}

int32_t find_by_walk(const std::vector<JsonNode>& nodes, std::string_view path, int32_t start) {
  if (nodes.empty() || start > static_cast<int32_t>(nodes.size())) return 0;
  if (start <= 1 && path.empty()) return 1;
  std::vector<std::string_view> segments;
  zarvex::split_json_path(path, segments);
  return zarvex::json_find_by_scan(nodes, segments, start);
}

void check_paths(const JsonDocument& document) {
  const std::vector<JsonNode>& nodes = document.nodes();
  const int32_t count = document.node_count();
  // Every node's own path, the paths of its name alone and of its parent's name with it,
  // and a few starts: enough to reach duplicate names and odd depths.
  const int32_t step = count > 200 ? count / 200 : 1;
  for (int32_t n = 1; n <= count; n += step) {
    const std::string own = document.path_of(n);
    const std::string& name = nodes[n - 1].name;
    for (const std::string& path : {own, name, name + "." + name, std::string()}) {
      for (int32_t start : {0, n, n + 1}) {
        if (document.find_node(path, start) != find_by_walk(nodes, path, start)) {
          fail("the index and the walk disagree");
        }
      }
    }
    int32_t kind = 0, found = 0;
    document.get_text(own, 0, kind, true, found);
    document.get_member_count(own, 0, found);
    std::string text;
    document.to_json_text(own, 0, text, (n & 1) != 0, found);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const bool strict = (data[0] & 1) != 0;
  const bool named = (data[0] & 2) != 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 3), size - 3);
  std::size_t first = text.empty() ? 0 : data[1] % (text.size() + 1);
  std::size_t second = text.empty() ? 0 : data[2] % (text.size() + 1);
  if (first > second) std::swap(first, second);

  JsonDocument whole;
  whole.parse_text(text, strict, named);
  const Outcome expected = outcome_of(whole);

  JsonDocument pieces;
  pieces.add_bytes(text.substr(0, first), strict, true, named);
  pieces.add_bytes(text.substr(first, second - first), strict, true, named);
  pieces.add_bytes(text.substr(second), strict, true, named);
  pieces.finish();
  if (!(outcome_of(pieces) == expected)) fail("pieces and whole text disagree");

  check_paths(whole);
  return 0;
}

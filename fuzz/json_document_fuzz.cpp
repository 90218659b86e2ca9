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

#include "../tests/json/json_test_support.h"
#include "json/json_document.h"

namespace {

using zarvex::JsonDocument;
using zarvex::JsonNode;
using zarvex::test::find_by_walk;
using zarvex::test::outcome_of;
using zarvex::test::ParseOutcome;

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "json_document_fuzz: %s\n", what);
  std::abort();
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
  const ParseOutcome expected = outcome_of(whole);

  const ParseOutcome pieces = zarvex::test::parse_in_pieces(
      {text.substr(0, first), text.substr(first, second - first), text.substr(second)}, strict,
      named);
  if (!(pieces == expected)) fail("pieces and whole text disagree");

  check_paths(whole);
  return 0;
}

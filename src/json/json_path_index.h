#pragma once
// Finding a node by path without rescanning the node list.
//
// A path designates the first node in document order whose chain of names from the root's
// members down equals the segments; a node's chain is formed by its nearest earlier node of
// smaller depth, which must lie exactly one level up. The plain way to find it walks the
// whole list for every lookup (json_find_by_scan). The index records, once per node list,
// each node's members in document order, so a lookup only looks at the members of the
// nodes on its way; an array's elements are reached by position. Both give the same node
// for every node list, however its depths run.

#include <cstdint>
#include <string_view>
#include <vector>

#include "json/json_node.h"

namespace zarvex {

class JsonPathIndex {
 public:
  // Indexes `nodes`; the list must stay unchanged while find() is used with it.
  void build(const std::vector<JsonNode>& nodes);

  // The first node at or after `start` that `segments` designate; 0 when none. Node 1 is
  // never a result (the empty path, which designates it, is answered by the caller).
  int32_t find(const std::vector<JsonNode>& nodes, const std::vector<std::string_view>& segments,
               int32_t start) const;
  // The first node that `segments` designate among the members of node `base` and below.
  int32_t find_below(const std::vector<JsonNode>& nodes, int32_t base,
                     const std::vector<std::string_view>& segments) const;

 private:
  int32_t search(const std::vector<JsonNode>& nodes, int32_t parent,
                 const std::vector<std::string_view>& segments, std::size_t level,
                 int32_t start) const;

  // Members of node p (0: the nodes of the first level) are
  // children_[child_begin_[p] .. child_begin_[p + 1]).
  std::vector<int32_t> child_begin_;
  std::vector<int32_t> children_;
  // positional_[p]: the members of p are named "[0]", "[1]", … in order.
  std::vector<bool> positional_;
  // Nodes after node 1 that stand at the top level (naming mode).
  std::vector<int32_t> top_level_;
};

// The same lookup as JsonPathIndex::find, by walking the node list from its start.
int32_t json_find_by_scan(const std::vector<JsonNode>& nodes,
                          const std::vector<std::string_view>& segments, int32_t start);

}  // namespace zarvex

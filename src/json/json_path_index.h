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

#include <climits>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "json/json_node.h"
#include "json/json_node_store.h"

namespace zarvex {

class JsonPathIndex {
 public:
  JsonPathIndex() = default;
  // A copy is not built: what it would hold points into the nodes it was built for.
  JsonPathIndex(const JsonPathIndex&) {}
  JsonPathIndex& operator=(const JsonPathIndex&) {
    clear();
    return *this;
  }

  // Indexes `nodes`; they must stay unchanged while find() is used with them.
  void build(const JsonNodeStore& nodes);
  bool built() const { return built_; }
  void clear();

  // The first node at or after `start` that `segments` designate; 0 when none. Node 1 is
  // never a result (the empty path, which designates it, is answered by the caller).
  int32_t find(const JsonNodeStore& nodes, const std::vector<std::string_view>& segments,
               int32_t start) const;
  // The first node that `segments` designate among the members of node `base` and below.
  int32_t find_below(const JsonNodeStore& nodes, int32_t base,
                     const std::vector<std::string_view>& segments) const;

 private:
  // The members of `parent` to look at for `name`: children_[begin, end).
  void candidates(const JsonNodeStore& nodes, int32_t parent, std::string_view name, int32_t& begin,
                  int32_t& end) const;
  // Goes on from the steps already on steps_ (the levels above `parent`), looking at the
  // members of `parent` for the segment of the next level.
  int32_t search(const JsonNodeStore& nodes, int32_t parent,
                 const std::vector<std::string_view>& segments, int32_t start) const;

  bool built_ = false;
  // Members of node p (0: the nodes of the first level) are
  // children_[child_begin_[p] .. child_begin_[p + 1]).
  std::vector<int32_t> child_begin_;
  std::vector<int32_t> children_;
  // positional_[p]: the members of p are named "[0]", "[1]", … in order.
  std::vector<bool> positional_;
  // Nodes after node 1 that stand at the top level (naming mode).
  std::vector<int32_t> top_level_;

  // An object looked into again and again (the answer's outer objects, read once per song)
  // gets a table from name to member once it is known that no two of its members share a
  // name; then that member is the first of that name, and the member found last is tried
  // before the table. heat_[p] counts the lookups in p up to kHot; then it is kNoTable, or
  // -1 - i for the table hot_[i].
  static constexpr int32_t kHot = 16;
  static constexpr int32_t kNoTable = INT32_MAX;
  struct HotObject {
    std::unordered_map<std::string_view, int32_t> table;  // name to position in children_
    int32_t last = -1;                                    // position found last
  };
  mutable std::vector<int32_t> heat_;
  mutable std::vector<HotObject> hot_;
  struct Step {
    int32_t at;       // next member to look at
    int32_t end;      // end of the members
    int32_t matches;  // members of the segment's name met so far
  };
  mutable std::vector<Step> steps_;

  // Remembers, after a lookup found its node, the members it went through.
  void remember(const std::vector<std::string_view>& segments, std::size_t level) const;
  // The steps of the last successful lookup, one per segment, and how many of its first
  // segments took the first member of their name. A lookup of a path that begins with those
  // segments would walk the same way down to there, so it starts from those steps, later
  // members of the same names still ahead of it (the client reads "data.song.list[k].title",
  // "data.song.list[k].file.size_ape", "data.song.list[k].file.size_flac", … in a row).
  mutable std::vector<Step> last_steps_;
  mutable std::vector<std::string> last_segments_;
  mutable std::size_t first_levels_ = 0;
};

// The same lookup as JsonPathIndex::find, by walking the node records from the start.
int32_t json_find_by_scan(const std::vector<JsonNode>& nodes,
                          const std::vector<std::string_view>& segments, int32_t start);

}  // namespace zarvex

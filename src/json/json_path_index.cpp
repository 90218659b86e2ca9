#include "json/json_path_index.h"

#include <algorithm>
#include <charconv>

namespace zarvex {
namespace {

// Level of a node below the root's own: 1 for the root's members, 0 (or less) for a node at
// the top level. Wide, so that no stored depth can overflow it.
int64_t level_of(const JsonNode& node) {
  return static_cast<int64_t>(node.depth) - 1;
}

// k when `segment` is "[k]" written the way element names are ("[0]", "[12]"; no sign, no
// leading zero); -1 otherwise.
int64_t element_position(std::string_view segment) {
  if (segment.size() < 3 || segment.front() != '[' || segment.back() != ']') return -1;
  const std::string_view digits = segment.substr(1, segment.size() - 2);
  if (digits.size() > 1 && digits.front() == '0') return -1;
  int64_t k = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), k);
  if (error != std::errc() || end != digits.data() + digits.size() || k < 0) return -1;
  return k;
}

}  // namespace

void JsonPathIndex::build(const std::vector<JsonNode>& nodes) {
  const int32_t count = static_cast<int32_t>(nodes.size());
  std::vector<int32_t> parent(static_cast<std::size_t>(count) + 1, -1);
  top_level_.clear();

  // Nearest earlier node of smaller level, by a stack of levels that only grows upwards.
  struct Open {
    int64_t level;
    int32_t node;
  };
  std::vector<Open> open;
  for (int32_t i = 2; i <= count; ++i) {
    const int64_t d = level_of(nodes[i - 1]);
    if (d <= 0) {
      top_level_.push_back(i);
      continue;
    }
    while (!open.empty() && open.back().level >= d)
      open.pop_back();
    if (open.empty()) {
      parent[i] = d == 1 ? 0 : -1;
    } else {
      parent[i] = open.back().level == d - 1 ? open.back().node : -1;
    }
    open.push_back({d, i});
  }

  child_begin_.assign(static_cast<std::size_t>(count) + 2, 0);
  for (int32_t i = 2; i <= count; ++i) {
    if (parent[i] >= 0) ++child_begin_[parent[i] + 1];
  }
  for (std::size_t p = 1; p < child_begin_.size(); ++p)
    child_begin_[p] += child_begin_[p - 1];
  children_.resize(static_cast<std::size_t>(child_begin_.back()));
  std::vector<int32_t> fill(child_begin_.begin(), child_begin_.end() - 1);
  for (int32_t i = 2; i <= count; ++i) {
    if (parent[i] >= 0) children_[fill[parent[i]]++] = i;
  }

  positional_.assign(static_cast<std::size_t>(count) + 1, false);
  for (int32_t p = 0; p <= count; ++p) {
    const int32_t begin = child_begin_[p];
    const int32_t end = child_begin_[p + 1];
    if (begin == end) continue;
    bool positional = true;
    for (int32_t k = 0; positional && k < end - begin; ++k) {
      positional = element_position(nodes[children_[begin + k] - 1].name) == k;
    }
    positional_[p] = positional;
  }
}

int32_t JsonPathIndex::search(const std::vector<JsonNode>& nodes, int32_t parent,
                              const std::vector<std::string_view>& segments, std::size_t level,
                              int32_t start) const {
  // Depth first, members in document order, so the first node reached is the first in the
  // document; a stack of our own, since both the path and the nesting may be very deep.
  struct Step {
    int32_t at;   // next member to look at
    int32_t end;  // end of the members
  };
  std::vector<Step> steps;
  auto enter = [&](int32_t node, std::size_t depth) {
    int32_t begin = child_begin_[node];
    int32_t end = child_begin_[node + 1];
    if (positional_[node]) {
      // Every member is named by its position, so only the member at that position can match.
      const int64_t k = element_position(segments[depth]);
      if (k < 0 || k >= end - begin) {
        end = begin;
      } else {
        begin += static_cast<int32_t>(k);
        end = begin + 1;
      }
    }
    steps.push_back({begin, end});
  };
  enter(parent, level);
  while (!steps.empty()) {
    Step& step = steps.back();
    const std::size_t depth = level + steps.size() - 1;
    if (step.at == step.end) {
      steps.pop_back();
      continue;
    }
    const int32_t child = children_[step.at++];
    if (nodes[child - 1].name != segments[depth]) continue;
    if (depth + 1 == segments.size()) {
      if (child >= start) return child;
      continue;
    }
    // The rest of the path may lie below a later member of the same name, so this level
    // stays on the stack.
    enter(child, depth + 1);
  }
  return 0;
}

int32_t JsonPathIndex::find(const std::vector<JsonNode>& nodes,
                            const std::vector<std::string_view>& segments, int32_t start) const {
  if (nodes.empty() || segments.empty()) return 0;
  int32_t found = search(nodes, 0, segments, 0, start);
  if (segments.size() == 1 && segments[0].empty()) {
    // A top-level node of a document in naming mode is designated by the empty segment.
    const auto top = std::lower_bound(top_level_.begin(), top_level_.end(), std::max(start, 2));
    if (top != top_level_.end() && (found == 0 || *top < found)) found = *top;
  }
  return found;
}

int32_t JsonPathIndex::find_below(const std::vector<JsonNode>& nodes, int32_t base,
                                  const std::vector<std::string_view>& segments) const {
  if (base < 1 || base >= static_cast<int32_t>(child_begin_.size()) - 1 || segments.empty()) {
    return 0;
  }
  return search(nodes, base, segments, 0, 0);
}

int32_t json_find_by_scan(const std::vector<JsonNode>& nodes,
                          const std::vector<std::string_view>& segments, int32_t start) {
  const int32_t count = static_cast<int32_t>(nodes.size());
  const int64_t segment_count = static_cast<int64_t>(segments.size());
  if (count == 0 || segment_count == 0) return 0;
  int64_t f = 1;  // the segment being matched, from 1
  for (int32_t i = 2; i <= count; ++i) {
    const JsonNode& node = nodes[i - 1];
    const int64_t d = level_of(node);
    if (d <= 0) {
      if (segments[0].empty() && segment_count == 1 && i >= start) return i;
      continue;
    }
    if (d > f) continue;
    if (d < f) f = d;  // left the subtree matched so far: match this node at its own level
    if (node.name != segments[f - 1]) continue;
    if (f == segment_count) {
      if (i >= start) return i;
    } else {
      ++f;
    }
  }
  return 0;
}

}  // namespace zarvex

#include "json/json_path_index.h"

#include <algorithm>
#include <cstring>

namespace zarvex {
namespace {

// Level of a node below the root's own: 1 for the root's members, 0 (or less) for a node at
// the top level. Wide, so that no stored depth can overflow it.
int64_t level_of(int32_t depth) {
  return static_cast<int64_t>(depth) - 1;
}

// k when `segment` is "[k]" written the way element names are ("[0]", "[12]"; no sign, no
// leading zero); -1 otherwise.
int64_t element_position(std::string_view segment) {
  if (segment.size() < 3 || segment.front() != '[' || segment.back() != ']') return -1;
  const std::string_view digits = segment.substr(1, segment.size() - 2);
  if (digits.size() > 1 && digits.front() == '0') return -1;
  if (digits.size() > 10) return -1;  // beyond any node count
  int64_t k = 0;
  for (const char digit : digits) {
    if (digit < '0' || digit > '9') return -1;
    k = k * 10 + (digit - '0');
  }
  return k;
}

}  // namespace

void JsonPathIndex::clear() {
  built_ = false;
  child_begin_.clear();
  children_.clear();
  positional_.clear();
  top_level_.clear();
  heat_.clear();
  hot_.clear();
  last_steps_.clear();
  last_segments_.clear();
  first_levels_ = 0;
}

void JsonPathIndex::build(const JsonNodeStore& nodes) {
  clear();
  built_ = true;
  const int32_t count = nodes.size();
  const std::size_t slots = static_cast<std::size_t>(count) + 1;
  heat_.assign(slots, 0);
  std::vector<int32_t> parent(slots, -1);
  top_level_.clear();
  // Members of p are counted at child_begin_[p + 2] on the way, so that after the sums
  // child_begin_[p + 1] is where p's members begin and filling moves it to where they end.
  child_begin_.assign(slots + 2, 0);

  // Nearest earlier node of smaller level, by a stack of levels that only grows upwards.
  struct Open {
    int64_t level;
    int32_t node;
  };
  std::vector<Open> open;
  for (int32_t i = 2; i <= count; ++i) {
    const int64_t d = level_of(nodes.depth(i));
    if (d <= 0) {
      top_level_.push_back(i);
      continue;
    }
    while (!open.empty() && open.back().level >= d)
      open.pop_back();
    int32_t p = -1;
    if (open.empty()) {
      p = d == 1 ? 0 : -1;
    } else if (open.back().level == d - 1) {
      p = open.back().node;
    }
    if (p >= 0) {
      parent[i] = p;
      ++child_begin_[static_cast<std::size_t>(p) + 2];
    }
    open.push_back({d, i});
  }

  for (std::size_t p = 1; p < child_begin_.size(); ++p)
    child_begin_[p] += child_begin_[p - 1];
  children_.resize(static_cast<std::size_t>(child_begin_.back()));
  for (int32_t i = 2; i <= count; ++i) {
    if (parent[i] >= 0) children_[child_begin_[parent[i] + 1]++] = i;
  }
  child_begin_.pop_back();

  positional_.assign(slots, false);
  for (int32_t p = 0; p <= count; ++p) {
    const int32_t begin = child_begin_[p];
    const int32_t end = child_begin_[p + 1];
    if (begin == end) continue;
    bool positional = true;
    for (int32_t k = 0; positional && k < end - begin; ++k) {
      positional = element_position(nodes.name(children_[begin + k])) == k;
    }
    positional_[p] = positional;
  }
}

void JsonPathIndex::candidates(const JsonNodeStore& nodes, int32_t parent, std::string_view name,
                               int32_t& begin, int32_t& end) const {
  begin = child_begin_[parent];
  end = child_begin_[parent + 1];
  if (positional_[parent]) {
    // Every member is named by its position, so only the member at that position can match.
    const int64_t k = element_position(name);
    if (k < 0 || k >= end - begin) {
      end = begin;
    } else {
      begin += static_cast<int32_t>(k);
      end = begin + 1;
    }
    return;
  }
  int32_t& heat = heat_[parent];
  if (heat == kNoTable) return;
  if (heat >= 0 && heat < kHot) {
    ++heat;
    return;
  }
  if (heat == kHot) {
    HotObject hot;
    for (int32_t at = begin; at < end; ++at) {
      if (!hot.table.emplace(nodes.name(children_[at]), at).second) {
        heat = kNoTable;  // two members share a name: only a walk finds the first
        return;
      }
    }
    hot_.push_back(std::move(hot));
    heat = -static_cast<int32_t>(hot_.size());
  }
  HotObject& hot = hot_[static_cast<std::size_t>(-heat - 1)];
  if (hot.last < 0 || nodes.name(children_[hot.last]) != name) {
    const auto found = hot.table.find(name);
    if (found == hot.table.end()) {
      end = begin;
      return;
    }
    hot.last = found->second;
  }
  begin = hot.last;
  end = begin + 1;
}

int32_t JsonPathIndex::search(const JsonNodeStore& nodes, int32_t parent,
                              const std::vector<std::string_view>& segments, int32_t start) const {
  // Depth first, members in document order, so the first node reached is the first in the
  // document; a stack of our own, since both the path and the nesting may be very deep.
  const char* const text = nodes.text().data();
  auto enter = [&](int32_t node, std::size_t depth) {
    int32_t begin = 0;
    int32_t end = 0;
    candidates(nodes, node, segments[depth], begin, end);
    steps_.push_back({begin, end, 0});
  };
  enter(parent, steps_.size());
  while (!steps_.empty()) {
    Step& step = steps_.back();
    const std::size_t depth = steps_.size() - 1;
    if (step.at == step.end) {
      steps_.pop_back();
      continue;
    }
    const int32_t child = children_[step.at++];
    const JsonNodeStore::Slot& slot = nodes.at(child);
    const std::string_view segment = segments[depth];
    // Names mostly differ in length; only then are the bytes compared.
    if (slot.name_size != segment.size()) continue;
    if (!segment.empty() && std::memcmp(text + slot.name_at, segment.data(), segment.size()) != 0)
      continue;
    ++step.matches;
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

int32_t JsonPathIndex::find(const JsonNodeStore& nodes,
                            const std::vector<std::string_view>& segments, int32_t start) const {
  if (nodes.empty() || segments.empty()) return 0;
  std::size_t level = 0;
  steps_.clear();
  if (start <= 1) {
    const std::size_t limit = std::min(first_levels_, segments.size() - 1);
    while (level < limit && last_segments_[level] == segments[level])
      ++level;
    steps_.assign(last_steps_.begin(), last_steps_.begin() + static_cast<std::ptrdiff_t>(level));
  }
  const int32_t parent = level == 0 ? 0 : children_[steps_.back().at - 1];
  int32_t found = search(nodes, parent, segments, start);
  if (found != 0 && start <= 1) remember(segments, level);
  if (segments.size() == 1 && segments[0].empty()) {
    // A top-level node of a document in naming mode is designated by the empty segment.
    const auto top = std::lower_bound(top_level_.begin(), top_level_.end(), std::max(start, 2));
    if (top != top_level_.end() && (found == 0 || *top < found)) found = *top;
  }
  return found;
}

void JsonPathIndex::remember(const std::vector<std::string_view>& segments,
                             std::size_t level) const {
  // steps_ holds one step per segment, each just past the member it took; the first `level`
  // of them are the remembered ones, taken again.
  last_steps_.assign(steps_.begin(), steps_.end());
  std::size_t first = 0;
  while (first < steps_.size() && steps_[first].matches == 1)
    ++first;
  last_segments_.resize(first);
  for (std::size_t k = std::min(level, first); k < first; ++k)
    last_segments_[k].assign(segments[k]);
  first_levels_ = first;
}

int32_t JsonPathIndex::find_below(const JsonNodeStore& nodes, int32_t base,
                                  const std::vector<std::string_view>& segments) const {
  if (base < 1 || base >= static_cast<int32_t>(child_begin_.size()) - 1 || segments.empty()) {
    return 0;
  }
  steps_.clear();
  return search(nodes, base, segments, 0);
}

int32_t json_find_by_scan(const std::vector<JsonNode>& nodes,
                          const std::vector<std::string_view>& segments, int32_t start) {
  const int32_t count = static_cast<int32_t>(nodes.size());
  const int64_t segment_count = static_cast<int64_t>(segments.size());
  if (count == 0 || segment_count == 0) return 0;
  int64_t f = 1;  // the segment being matched, from 1
  for (int32_t i = 2; i <= count; ++i) {
    const JsonNode& node = nodes[i - 1];
    const int64_t d = level_of(node.depth);
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

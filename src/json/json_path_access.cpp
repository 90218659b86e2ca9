// Reads of a JsonDocument by path or node number. Nothing here changes the nodes.

#include <string>

#include "json/json_document.h"
#include "json/json_literal.h"
#include "json/json_path.h"
#include "json/json_string_decode.h"
#include "service/text_gbk.h"

namespace zarvex {

const JsonPathIndex& JsonDocument::index() const {
  if (!index_.built()) index_.build(store_);
  return index_;
}

int32_t JsonDocument::find_node(std::string_view path, int32_t start, bool relative) const {
  if (store_.empty() || start > node_count()) return 0;
  if (start <= 1 && path.empty()) return 1;
  if (relative && start >= 2 && path.empty()) return start;
  split_json_path(path, segments_);
  if (relative && start >= 2) return index().find_below(store_, start, segments_);
  return index().find(store_, segments_, start);
}

int32_t JsonDocument::resolve(std::string_view path, int32_t node_number) const {
  if (node_number >= 1 && node_number <= node_count()) return node_number;
  return find_node(path, 0, false);
}

std::string JsonDocument::get_text(std::string_view path, int32_t node_number) const {
  int32_t kind = 0;
  int32_t found = 0;
  return get_text(path, node_number, kind, true, found);
}

std::string JsonDocument::get_text(std::string_view path, int32_t node_number, int32_t& kind,
                                   bool decode, int32_t& found) const {
  found = resolve(path, node_number);
  if (found == 0) return {};
  const JsonNodeStore::Slot& node = store_.at(found);
  kind = node.kind;
  if (!decode) return store_.value(found);
  const bool container = node.kind == kJsonObject || node.kind == kJsonArray;
  if (node.count_open != 0) {
    // "{ n }" or "[ n ]": a container gives the count alone.
    return container ? std::to_string(node.count) : store_.value(found);
  }
  const std::string_view value = store_.value_text(node);
  if (container) {
    // Nothing for a container that never closed.
    return value.size() >= 4 ? std::string(value.substr(2, value.size() - 4)) : std::string();
  }
  if (node.kind == kJsonString) return decode_json_string(value);
  if (node.kind == kJsonBoolean) return ascii_lower(value);
  return std::string(value);
}

int32_t JsonDocument::get_member_count(std::string_view path, int32_t node_number) const {
  int32_t found = 0;
  return get_member_count(path, node_number, found);
}

int32_t JsonDocument::get_member_count(std::string_view path, int32_t node_number,
                                       int32_t& found) const {
  found = resolve(path, node_number);
  int32_t count = 0;
  child_at(found, -1, count);
  return count;
}

int32_t JsonDocument::child_at(int32_t n, int32_t k, int32_t& count) const {
  const int64_t target = n == 0 ? 1 : static_cast<int64_t>(store_.depth(n)) + 1;
  count = 0;
  for (int32_t i = n + 1; i <= node_count(); ++i) {
    const int64_t depth = store_.depth(i);
    if (depth > target) continue;
    if (depth < target) break;
    if (count++ == k) return i;
  }
  return 0;
}

int32_t JsonDocument::subtree_end(int32_t n) const {
  const int32_t depth = store_.depth(n);
  int32_t end = n + 1;
  while (end <= node_count() && store_.depth(end) > depth)
    ++end;
  return end;
}

// The nearest earlier node of smaller depth; 0 when there is none.
static int32_t parent_by_depth(const JsonNodeStore& store, int32_t n) {
  const int32_t depth = store.depth(n);
  int32_t parent = n - 1;
  while (parent >= 1 && store.depth(parent) >= depth)
    --parent;
  return parent;
}

JsonNode JsonDocument::get_node(std::string_view path, int32_t node_number, int32_t& found) const {
  found = resolve(path, node_number);
  return found == 0 ? JsonNode{} : store_.record(found);
}

int32_t JsonDocument::get_descendant_count(std::string_view path, int32_t node_number,
                                           bool whole_if_missing, int32_t& found) const {
  found = resolve(path, node_number);
  if (found == 0) return whole_if_missing && !store_.empty() ? node_count() - 1 : 0;
  const int32_t kind = store_.at(found).kind;
  if (kind != kJsonObject && kind != kJsonArray) return 0;
  return subtree_end(found) - found - 1;
}

int32_t JsonDocument::copy_subtree(std::string_view path, int32_t node_number,
                                   std::vector<JsonNode>& out, bool include_self) const {
  const int32_t n = resolve(path, node_number);
  if (n == 0) return 0;
  const int32_t first = include_self ? n : n + 1;
  const int32_t end = subtree_end(n);
  for (int32_t i = first; i < end; ++i)
    out.push_back(store_.record(i));
  return end - first;
}

int32_t JsonDocument::parent_of(std::string_view path, int32_t node_number, int32_t levels,
                                int32_t& found) const {
  found = resolve(path, node_number);
  int32_t n = found;
  for (int32_t step = 0; n != 0 && step < (levels < 1 ? 1 : levels); ++step) {
    n = parent_by_depth(store_, n);
  }
  return n;
}

int32_t JsonDocument::child_at(std::string_view path, int32_t node_number, int32_t k,
                               int32_t& found) const {
  found = resolve(path, node_number);
  if (k < 0) return 0;
  int32_t count = 0;
  return child_at(found, k, count);
}

int32_t JsonDocument::sibling_position(std::string_view path, int32_t node_number,
                                       int32_t& found) const {
  found = resolve(path, node_number);
  if (found == 0) return 0;
  const int32_t depth = store_.depth(found);
  int32_t position = 0;
  for (int32_t i = found - 1; i >= 1; --i) {
    const int32_t other = store_.depth(i);
    if (other < depth) break;
    if (other == depth) ++position;
  }
  return position;
}

bool JsonDocument::to_json_text(std::string_view path, int32_t node_number, std::string& out,
                                bool formatted, int32_t& found) const {
  found = resolve(path, node_number);
  out.clear();
  if (found == 0) return false;
  struct Open {
    int32_t depth;
    bool object;
    int32_t written;
  };
  std::vector<Open> open;
  auto line_break = [&](std::size_t indent) {
    if (!formatted) return;
    out += "\r\n";
    out.append(indent, '\t');
  };
  auto close = [&] {
    const Open& top = open.back();
    if (top.written > 0) line_break(open.size() - 1);
    out.push_back(top.object ? '}' : ']');
    open.pop_back();
  };
  auto write_value = [&](int32_t n) {
    const JsonNodeStore::Slot& node = store_.at(n);
    switch (node.kind) {
      case kJsonObject:
      case kJsonArray:
        out.push_back(node.kind == kJsonObject ? '{' : '[');
        open.push_back({node.depth, node.kind == kJsonObject, 0});
        break;
      case kJsonString:
        out += '"' + store_.value(n) + '"';
        break;
      case kJsonBoolean:
        out += ascii_lower(store_.value(n));
        break;
      case kJsonNull:
        out += "null";
        break;
      default: {
        const std::string value = store_.value(n);
        out += value.empty() ? "null" : value;
        break;
      }
    }
  };
  write_value(found);
  const int32_t end = subtree_end(found);
  for (int32_t i = found + 1; i < end; ++i) {
    const int32_t depth = store_.depth(i);
    while (!open.empty() && open.back().depth >= depth)
      close();
    // Only direct members are written; a node that skips a level has no place in the text.
    if (open.empty() || depth != open.back().depth + 1) continue;
    Open& parent = open.back();
    if (parent.written++ > 0) out.push_back(',');
    line_break(open.size());
    if (parent.object) {
      out += '"';
      out += store_.name(i);
      out += "\":";
    }
    write_value(i);
  }
  while (!open.empty())
    close();
  return true;
}

std::string JsonDocument::path_of(int32_t node_number) const {
  if (node_number < 2 || node_number > node_count()) return {};
  std::vector<int32_t> chain;
  for (int32_t n = node_number; n >= 1 && store_.depth(n) >= 2; n = parent_by_depth(store_, n)) {
    chain.push_back(n);
  }
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const std::string_view name = store_.name(*it);
    const bool element = !name.empty() && name.front() == '[';
    if (!path.empty() && !element) path.push_back('.');
    path += name;
  }
  return path;
}

}  // namespace zarvex

#include "json/json_node_store.h"

namespace zarvex {

void JsonNodeStore::clear() {
  slots_.clear();
  text_.clear();
}

void JsonNodeStore::reserve(std::size_t slots) {
  slots_.reserve(slots);
}

std::string JsonNodeStore::value(int32_t n) const {
  const Slot& slot = at(n);
  if (slot.count_open == 0) return std::string(value_text(slot));
  std::string text(1, slot.count_open);
  text += ' ';
  text += std::to_string(slot.count);
  text += ' ';
  text += slot.count_open == '{' ? '}' : ']';
  return text;
}

JsonNode JsonNodeStore::record(int32_t n) const {
  const Slot& slot = at(n);
  JsonNode node;
  node.name = std::string(name(n));
  node.value = value(n);
  node.depth = slot.depth;
  node.kind = slot.kind;
  node.member_of = slot.member_of;
  return node;
}

void JsonNodeStore::to_records(std::vector<JsonNode>& records) const {
  records.clear();
  records.reserve(slots_.size());
  for (int32_t n = 1; n <= size(); ++n)
    records.push_back(record(n));
}

void JsonNodeStore::assign(const std::vector<JsonNode>& records) {
  clear();
  slots_.reserve(records.size());
  for (const JsonNode& node : records) {
    Slot slot;
    slot.name_at = static_cast<uint32_t>(text_.size());
    slot.name_size = static_cast<uint32_t>(node.name.size());
    text_ += node.name;
    slot.value_at = static_cast<uint32_t>(text_.size());
    slot.value_size = static_cast<uint32_t>(node.value.size());
    text_ += node.value;
    slot.depth = node.depth;
    slot.kind = node.kind;
    slot.member_of = node.member_of;
    slots_.push_back(slot);
  }
}

}  // namespace zarvex

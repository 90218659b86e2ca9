#pragma once
// The compact form in which a JsonDocument keeps its nodes: fixed-size slots, with every
// name and value text in one shared byte buffer. A parse appends to the buffer and never
// copies a text twice; JsonNode records are made from the slots only when asked for.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "json/json_node.h"

namespace zarvex {

class JsonNodeStore {
 public:
  struct Slot {
    uint32_t name_at = 0;  // name: text_[name_at, name_at + name_size)
    uint32_t name_size = 0;
    uint32_t value_at = 0;  // value, unless count_open is set
    uint32_t value_size = 0;
    int32_t depth = 0;
    int32_t kind = kJsonUnclassified;
    int32_t count = 0;    // with count_open: the value is "{ count }" or "[ count ]"
    char count_open = 0;  // '{', '[' or 0
    uint8_t member_of = kJsonRoot;
  };

  int32_t size() const { return static_cast<int32_t>(slots_.size()); }
  bool empty() const { return slots_.empty(); }
  void clear();
  // Room for `slots` slots without moving them.
  void reserve(std::size_t slots);
  std::size_t capacity() const { return slots_.capacity(); }

  // Node n, 1-based.
  Slot& at(int32_t n) { return slots_[static_cast<std::size_t>(n) - 1]; }
  const Slot& at(int32_t n) const { return slots_[static_cast<std::size_t>(n) - 1]; }
  Slot& back() { return slots_.back(); }
  void push_back(const Slot& slot) { slots_.push_back(slot); }

  int32_t depth(int32_t n) const { return at(n).depth; }
  std::string_view name(int32_t n) const { return view(at(n).name_at, at(n).name_size); }
  // The value text as a JsonNode holds it.
  std::string value(int32_t n) const;
  // The value of a slot without count_open.
  std::string_view value_text(const Slot& slot) const {
    return view(slot.value_at, slot.value_size);
  }

  // The byte buffer that names and values point into; texts are only ever appended.
  std::string& text() { return text_; }
  const std::string& text() const { return text_; }

  JsonNode record(int32_t n) const;
  void to_records(std::vector<JsonNode>& records) const;
  void assign(const std::vector<JsonNode>& records);

 private:
  std::string_view view(uint32_t at, uint32_t size) const {
    return std::string_view(text_).substr(at, size);
  }

  std::vector<Slot> slots_;
  std::string text_;
};

}  // namespace zarvex

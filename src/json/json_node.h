#pragma once
// One record of a parsed JSON answer. A document is a flat list of these in document order;
// a container's members follow it at depth + 1.

#include <cstdint>
#include <string>

namespace zarvex {

// What a node's value is.
enum JsonKind : int32_t {
  kJsonUnclassified = 0,  // a literal the lenient parser could not classify, or no value yet
  kJsonNumber = 1,
  kJsonString = 2,
  kJsonBoolean = 3,
  kJsonObject = 4,
  kJsonArray = 5,
  kJsonNull = 6,  // also a value left empty
};

// What a node belongs to.
enum JsonMemberOf : uint8_t {
  kJsonRoot = 0,
  kJsonObjectMember = 4,
  kJsonArrayElement = 5,
};

struct JsonNode {
  // A member's name as written between its quotes (escapes kept); "[k]" for the element at
  // 0-based position k of an array; empty for the root.
  std::string name;
  // Strings: the bytes between the quotes, escapes kept. Literals as read (lowercased by the
  // lenient parser unless a number). Containers: "{ n }" or "[ n ]", n direct members,
  // written when the container closes.
  std::string value;
  int32_t depth = 0;  // 1 for the root, otherwise the parent's depth + 1
  int32_t kind = kJsonUnclassified;
  uint8_t member_of = kJsonRoot;

  friend bool operator==(const JsonNode&, const JsonNode&) = default;
};

}  // namespace zarvex

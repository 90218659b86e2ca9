#pragma once
// The JSON document of a service answer: a push parser that turns GBK text into a flat list
// of JsonNode records in document order, and reads of those records by path
// ("data.song.list[3].title").
//
// Input may be fed whole or in pieces split at any byte; all parser state stays in the
// document between calls. Lenient mode (the default, used for every service answer) never
// stops on malformed input; strict mode stops at the first syntax error and records a code,
// a GBK message, and where it happened.
//
// A document belongs to one routine at a time. Reads are const but keep a lookup index that
// is built on the first read after parsing (and nodes() its records), so a document must not
// be read from two threads at once.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "json/json_node.h"
#include "json/json_node_store.h"
#include "json/json_path_index.h"

namespace zarvex {

class JsonDocument {
 public:
  // Error codes (0 is success). Only kJsonErrorAfterEnd can occur in lenient mode.
  static constexpr int32_t kJsonErrorAfterEnd = 1;

  JsonDocument() = default;

  // reset; then add_bytes(text, strict, true, named_top_level); finish. Returns the error
  // code, 0 on success. In naming mode a text may hold top-level members without braces.
  int32_t parse_text(std::string_view text, bool strict = false, bool named_top_level = false);
  int32_t parse_bytes(std::string_view bytes, bool strict = false, bool named_top_level = false) {
    return parse_text(bytes, strict, named_top_level);
  }
  // Feeds more input. `strict` is taken only when `set_strict`; `named_top_level` only while
  // the document has no node. Returns the error code so far.
  int32_t add_bytes(std::string_view bytes, bool strict = false, bool set_strict = false,
                    bool named_top_level = false);
  int32_t add_text(std::string_view text, bool strict = false, bool set_strict = false,
                   bool named_top_level = false) {
    return add_bytes(text, strict, set_strict, named_top_level);
  }
  // Closes what is still open, as far as it can. False when there is nothing to close.
  bool finish();
  // Empties the document for a new parse.
  void reset();
  // True once the document has nodes and nothing is left open.
  bool is_complete() const;

  // The error code; position (1-based byte offset), message (GBK), line (0-based) and column
  // of the byte that caused it.
  int32_t get_error(int32_t& position, std::string& message, int32_t& line, int32_t& column) const;

  // --- Nodes ---------------------------------------------------------------------------
  // Node numbers are 1-based positions in nodes(); 0 means "no node".
  // The records are made when asked for (the document keeps its nodes in a compacter form),
  // and the list is up to date until the document next changes.
  const std::vector<JsonNode>& nodes() const;
  int32_t node_count() const { return store_.size(); }
  int32_t copy_nodes(std::vector<JsonNode>& out) const;
  // Exchanges the node list with the caller's; a second call swaps back.
  void swap_nodes(std::vector<JsonNode>& other);

  // --- Reads by path ---------------------------------------------------------------------
  // A path is segments separated by "." ; a segment is a member name or "[k]" (k from 0).
  // "list[3]" equals "list.[3]"; the empty path designates the root. Wherever a path and a
  // node number are given, a node number between 1 and node_count() wins over the path.

  // node_number when it is a node's number, else find_node(path).
  int32_t resolve(std::string_view path, int32_t node_number = 0) const;
  // The first node in document order, at or after `start`, whose chain of names from the
  // root's members down equals the path; 0 when none. With `relative` and start >= 1 the
  // path is looked up among the members of node `start` instead.
  int32_t find_node(std::string_view path, int32_t start = 0, bool relative = false) const;

  // The designated node's value: strings decoded, booleans lowercased, containers as their
  // member count; "" when nothing is designated (kind is then left unchanged).
  std::string get_text(std::string_view path, int32_t node_number = 0) const;
  std::string get_text(std::string_view path, int32_t node_number, int32_t& kind, bool decode,
                       int32_t& found) const;

  // Direct members or elements of the designated node (0 for a scalar). When nothing is
  // designated: the number of depth-1 nodes (1 for an ordinary document, 0 when empty).
  int32_t get_member_count(std::string_view path, int32_t node_number = 0) const;
  int32_t get_member_count(std::string_view path, int32_t node_number, int32_t& found) const;

  // A copy of the designated node; an empty record when none.
  JsonNode get_node(std::string_view path, int32_t node_number, int32_t& found) const;
  // Nodes in the subtree of a container (0 for other kinds); node_count() - 1 when nothing
  // is designated and `whole_if_missing`.
  int32_t get_descendant_count(std::string_view path, int32_t node_number, bool whole_if_missing,
                               int32_t& found) const;
  // Appends the designated node's subtree (with the node itself when `include_self`) to
  // `out`; returns the number of nodes appended.
  int32_t copy_subtree(std::string_view path, int32_t node_number, std::vector<JsonNode>& out,
                       bool include_self) const;
  // Number of the ancestor `levels` up (0 when there is none).
  int32_t parent_of(std::string_view path, int32_t node_number, int32_t levels,
                    int32_t& found) const;
  // Number of the k-th (0-based) direct member or element (0 when there is none).
  int32_t child_at(std::string_view path, int32_t node_number, int32_t k, int32_t& found) const;
  // How many earlier siblings the node has.
  int32_t sibling_position(std::string_view path, int32_t node_number, int32_t& found) const;
  // Writes the subtree as JSON text (names and strings as stored); `formatted` adds CR LF
  // line breaks and TAB indentation. False when nothing is designated.
  bool to_json_text(std::string_view path, int32_t node_number, std::string& out, bool formatted,
                    int32_t& found) const;
  // A path that designates the node ("" for the root or an unknown number).
  std::string path_of(int32_t node_number) const;

 private:
  // Parser states, named after what the parser is doing.
  enum State : uint8_t {
    kInObject = 1,
    kInArray = 2,
    kReadingName = 3,
    kAwaitingColon = 4,
    kAwaitingValue = 5,
    kReadingString = 6,
    kReadingLiteral = 7,
  };

  // Bytes of `bytes` from `at` on that the open string, name or literal takes as they are;
  // 0 when the byte at `at` needs its handler.
  std::size_t plain_run(std::string_view bytes, std::size_t at) const;
  // Handles in one step a quoted name with its colon, or a string value without escapes,
  // that begins at `at` and ends in `bytes`; the number of bytes taken, 0 when there is none.
  std::size_t quoted_step(std::string_view bytes, std::size_t at);
  void handle_top_level(uint8_t byte);
  void dispatch(uint8_t byte);
  void in_object(uint8_t byte);
  void in_array(uint8_t byte);
  void reading_name(uint8_t byte);
  void awaiting_colon(uint8_t byte);
  void awaiting_value(uint8_t byte);
  void reading_string(uint8_t byte);
  void reading_literal(uint8_t byte);
  void new_node(State state);
  void close_container(bool object);
  int32_t current_node();
  void end_string();
  void pop_open();
  void set_top(State state) { states_.back() = state; }
  // The node whose name or value is being read: the last node. After swap_nodes left the
  // list empty, a spare slot stands in so that nothing is written outside the list.
  JsonNodeStore::Slot& last_node() { return store_.empty() ? spare_ : store_.back(); }
  // The token is the tail of the store's text from token_start_: its bytes stay where they
  // are when they become a name or a value.
  void clear_token() { token_start_ = store_.text().size(); }
  std::string_view token() const { return std::string_view(store_.text()).substr(token_start_); }
  void take_token_as_name(JsonNodeStore::Slot& slot);
  void take_token_as_value(JsonNodeStore::Slot& slot);
  void fail(int32_t code, std::string_view detail = {});
  void changed() {
    if (index_.built()) index_.clear();
    records_valid_ = false;
  }
  const JsonPathIndex& index() const;
  // The k-th (0-based) direct member of node n, n = 0 standing for the nodes of depth 1;
  // `count` receives the number of direct members passed, all of them when there is no k-th.
  int32_t child_at(int32_t n, int32_t k, int32_t& count) const;
  // The number of the first node after n's subtree (node_count() + 1 at the end).
  int32_t subtree_end(int32_t n) const;

  JsonNodeStore store_;
  std::vector<int32_t> open_nodes_;
  std::vector<uint8_t> states_;
  std::vector<int32_t> element_counters_;
  std::vector<int32_t> member_counters_;
  int32_t level_ = 0;
  bool escape_pending_ = false;
  std::size_t token_start_ = 0;
  bool bare_name_ = false;
  bool strict_ = false;
  int32_t position_ = 0;
  int32_t error_position_ = 0;
  int32_t error_code_ = 0;
  std::string error_message_;
  uint8_t separator_ = 0;
  bool named_top_level_ = false;
  int32_t line_ = 0;
  int32_t column_ = 0;
  // Inside a string, the last byte began a double-byte character: the next byte is its second
  // byte, whatever its value, unless it cannot be one.
  bool trail_pending_ = false;
  // An error was raised while handling the current byte: stop handling it.
  bool halted_ = false;
  JsonNodeStore::Slot spare_;

  mutable JsonPathIndex index_;
  mutable std::vector<std::string_view> segments_;
  mutable std::vector<JsonNode> records_;
  mutable bool records_valid_ = false;
};

}  // namespace zarvex

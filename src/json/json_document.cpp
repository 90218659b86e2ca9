// The push parser of JsonDocument: one byte at a time through a stack of states, so input may
// arrive in pieces split anywhere.

#include "json/json_document.h"

#include <algorithm>
#include <array>
#include <string>

#include "json/json_error_messages.h"
#include "json/json_gbk.h"
#include "json/json_literal.h"
#include "service/text_gbk.h"

namespace zarvex {
namespace {

bool is_blank(uint8_t byte) {
  return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n';
}

// The counter of `level`, the list growing as needed.
int32_t& counter_at(std::vector<int32_t>& counters, int32_t level) {
  const std::size_t at = level > 0 ? static_cast<std::size_t>(level) : 0;
  if (counters.size() <= at) counters.resize(at + 1, 0);
  return counters[at];
}

// Which bytes end a run: one table lookup per byte instead of a row of comparisons.
constexpr uint8_t kStopsString = 1;  // also marks a possible first byte of a character
constexpr uint8_t kStopsName = 2;
constexpr uint8_t kStopsLiteral = 4;
constexpr std::array<uint8_t, 256> kStops = [] {
  std::array<uint8_t, 256> stops{};
  for (const uint8_t byte : {'\t', '\n', '\r'})
    stops[byte] = kStopsString | kStopsName | kStopsLiteral;
  stops['"'] = kStopsString | kStopsName;
  stops['\\'] = kStopsString;
  for (const uint8_t byte : {',', ']', '}', ' '})
    stops[byte] = kStopsLiteral;
  for (int byte = 0x81; byte <= 0xFE; ++byte)
    stops[byte] = kStopsString;
  return stops;
}();

// The end of the bytes from `at` on that a run of `kind` takes.
std::size_t run_end(std::string_view bytes, std::size_t at, uint8_t kind) {
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  const std::size_t size = bytes.size();
  std::size_t end = at;
  if (kind != kStopsString) {
    while (end < size && !(kStops[data[end]] & kind))
      ++end;
    return end;
  }
  while (end < size) {
    const uint8_t byte = data[end];
    if (!(kStops[byte] & kStopsString)) {
      ++end;
      continue;
    }
    if (!is_gbk_lead_byte(byte)) break;
    // Only whole characters: a character cut by the end of the input is left to the
    // handler, which remembers its first byte.
    if (end + 1 >= size || !is_gbk_trail_byte(data[end + 1])) break;
    end += 2;
  }
  return end;
}

}  // namespace

int32_t JsonDocument::parse_text(std::string_view text, bool strict, bool named_top_level) {
  reset();
  add_bytes(text, strict, true, named_top_level);
  finish();
  return error_code_;
}

int32_t JsonDocument::add_bytes(std::string_view bytes, bool strict, bool set_strict,
                                bool named_top_level) {
  changed();
  if (store_.empty()) named_top_level_ = named_top_level;
  if (set_strict) strict_ = strict;
  // Room for what the input will likely make (a service answer spends 15 to 30 bytes on a
  // node, and its names and values take fewer bytes than the input), grown geometrically so
  // that feeding many pieces stays linear. Room not used is never touched.
  const std::size_t slots = static_cast<std::size_t>(store_.size()) + bytes.size() / 8;
  if (slots > store_.capacity()) store_.reserve(std::max(slots, store_.capacity() * 2));
  std::string& text = store_.text();
  const std::size_t bytes_needed = text.size() + bytes.size();
  if (bytes_needed > text.capacity()) text.reserve(std::max(bytes_needed, text.capacity() * 2));
  std::size_t at = 0;
  while (at < bytes.size()) {
    if (error_position_ != 0) {
      finish();
      return error_code_;
    }
    // Runs of bytes that a string, name or literal takes as they are go in one step; they
    // hold no line feed and raise no error.
    const uint8_t top = states_.empty() ? 0 : states_.back();
    const bool takes_runs = (top == kReadingString && !trail_pending_) ||
                            (top == kReadingName && !bare_name_) || top == kReadingLiteral;
    if (const std::size_t run = takes_runs ? plain_run(bytes, at) : 0) {
      text.append(bytes.substr(at, run));
      if (top == kReadingString) escape_pending_ = false;
      position_ += static_cast<int32_t>(run);
      column_ += static_cast<int32_t>(run);
      at += run;
      continue;
    }
    // A quoted name with its colon, or a plain string value, whole in this piece.
    if (const std::size_t taken = quoted_step(bytes, at)) {
      position_ += static_cast<int32_t>(taken);
      column_ += static_cast<int32_t>(taken);
      at += taken;
      continue;
    }
    const auto byte = static_cast<uint8_t>(bytes[at++]);
    if (byte == '\n') {
      ++line_;
      column_ = 0;
    } else if (byte != '\r') {
      ++column_;
    }
    ++position_;
    halted_ = false;
    if (states_.empty()) {
      handle_top_level(byte);
    } else {
      dispatch(byte);
    }
  }
  if (error_code_ != 0) finish();
  return error_code_;
}

std::size_t JsonDocument::plain_run(std::string_view bytes, std::size_t at) const {
  if (states_.empty()) return 0;
  const uint8_t state = states_.back();
  if (state == kReadingString) {
    if (trail_pending_) return 0;
    return run_end(bytes, at, kStopsString) - at;
  }
  if (state == kReadingName && !bare_name_) return run_end(bytes, at, kStopsName) - at;
  if (state == kReadingLiteral) return run_end(bytes, at, kStopsLiteral) - at;
  return 0;
}

std::size_t JsonDocument::quoted_step(std::string_view bytes, std::size_t at) {
  if (states_.empty() || bytes[at] != '"') return 0;
  const uint8_t state = states_.back();
  std::string& text = store_.text();
  if (state == kInObject) {
    // A quoted name and its colon: what in_object, reading_name and awaiting_colon do with
    // those bytes one at a time.
    if (strict_ && separator_ == 1) return 0;
    const std::size_t end = run_end(bytes, at + 1, kStopsName);
    if (end + 1 >= bytes.size() || bytes[end] != '"' || bytes[end + 1] != ':') return 0;
    bare_name_ = false;
    new_node(kReadingName);
    text.append(bytes.substr(at + 1, end - at - 1));
    take_token_as_name(last_node());
    set_top(kAwaitingValue);
    return end + 2 - at;
  }
  if (state == kAwaitingValue) {
    // A string value without escapes: what awaiting_value and reading_string do with it.
    if (trail_pending_) return 0;
    const std::size_t end = run_end(bytes, at + 1, kStopsString);
    if (end >= bytes.size() || bytes[end] != '"') return 0;
    // An escape left pending by an earlier string takes an immediate quote as text.
    if (end == at + 1 && escape_pending_) return 0;
    separator_ = 0;
    clear_token();
    last_node().kind = kJsonString;
    text.append(bytes.substr(at + 1, end - at - 1));
    escape_pending_ = false;
    end_string();
    return end + 1 - at;
  }
  return 0;
}

void JsonDocument::dispatch(uint8_t byte) {
  switch (states_.back()) {
    case kInObject:
      in_object(byte);
      break;
    case kInArray:
      in_array(byte);
      break;
    case kReadingName:
      reading_name(byte);
      break;
    case kAwaitingColon:
      awaiting_colon(byte);
      break;
    case kAwaitingValue:
      awaiting_value(byte);
      break;
    case kReadingString:
      reading_string(byte);
      break;
    case kReadingLiteral:
      reading_literal(byte);
      break;
  }
}

void JsonDocument::handle_top_level(uint8_t byte) {
  if (!store_.empty()) {
    // The document is complete: only blanks may follow, in either mode.
    if (!is_blank(byte)) fail(1);
    return;
  }
  if (byte == '{' || byte == '[') {
    separator_ = 0;
    JsonNodeStore::Slot root;
    root.depth = 1;
    root.kind = byte == '{' ? kJsonObject : kJsonArray;
    store_.push_back(root);
    open_nodes_.assign({1, 1});
    level_ = 2;
    states_.push_back(byte == '{' ? kInObject : kInArray);
    return;
  }
  if (named_top_level_ && byte == '"') {
    // Top-level members without enclosing braces, each of depth 1.
    separator_ = 0;
    states_.push_back(kInObject);
    level_ = 1;
    bare_name_ = false;
    new_node(kReadingName);
    return;
  }
  // Text before the document: skipped leniently, an error in strict mode.
  if (strict_ && !is_blank(byte)) fail(2);
}

void JsonDocument::new_node(State state) {
  states_.push_back(state);
  JsonNodeStore::Slot node;
  std::string& text = store_.text();
  if (state == kAwaitingValue || state == kInObject) {
    const int32_t position = ++counter_at(element_counters_, level_) - 1;
    node.name_at = static_cast<uint32_t>(text.size());
    text += '[';
    text += std::to_string(position);
    text += ']';
    node.name_size = static_cast<uint32_t>(text.size() - node.name_at);
    node.member_of = kJsonArrayElement;
    if (state == kInObject) {
      node.kind = kJsonObject;
      node.depth = level_;
      ++level_;
      node.count_open = '{';  // "{ 0 }" until it closes
    }
  } else if (state == kReadingName) {
    ++counter_at(member_counters_, level_);
    node.member_of = kJsonObjectMember;
  }
  if (node.depth == 0) node.depth = level_;
  clear_token();
  store_.push_back(node);
  open_nodes_.push_back(store_.size());
}

void JsonDocument::pop_open() {
  if (!states_.empty()) states_.pop_back();
  if (!open_nodes_.empty()) open_nodes_.pop_back();
}

int32_t JsonDocument::current_node() {
  if (open_nodes_.empty()) {
    if (strict_) fail(81);
    return 0;
  }
  const int32_t top = open_nodes_.back();
  if (top > node_count() || top < 1) {
    if (strict_) fail(82);
    return 0;
  }
  return top;
}

void JsonDocument::close_container(bool object) {
  const int32_t n = current_node();
  if (n == 0) return;  // nothing open to close: the closer is ignored
  int32_t& count = counter_at(object ? member_counters_ : element_counters_, level_);
  JsonNodeStore::Slot& node = store_.at(n);
  node.count_open = object ? '{' : '[';
  node.count = count;
  count = 0;
  --level_;
  pop_open();
  separator_ = 1;
}

void JsonDocument::in_object(uint8_t byte) {
  if (byte == '"') {
    if (strict_ && separator_ == 1) return fail(11);
    bare_name_ = false;
    new_node(kReadingName);
    return;
  }
  if (strict_ && byte == ',') {
    if (separator_ == 1) {
      separator_ = 2;
    } else {
      fail(13);
    }
    return;
  }
  if (strict_ && byte == ']') return fail(12);
  if (byte == '}' || byte == ']') {
    if (separator_ == 2) {
      if (strict_) return fail(15);
      // A trailing comma: the lenient parser adds a member with an empty name and value.
      new_node(kReadingName);
      bare_name_ = true;
      reading_name(',');
    }
    close_container(true);
    return;
  }
  if (is_blank(byte)) return;
  if (strict_) return fail(14);
  if (byte == ',' && separator_ == 1) {
    separator_ = 2;
    return;
  }
  // A member without a quote. A comma here (after a comma or at the start) begins a name
  // read as a quoted one.
  new_node(kReadingName);
  bare_name_ = byte != ',';
  reading_name(byte);
}

void JsonDocument::reading_name(uint8_t byte) {
  if (bare_name_ && (byte == ',' || byte == '}' || byte == ']')) {
    take_token_as_name(last_node());
    set_top(kAwaitingValue);
    awaiting_value(byte == ']' ? '}' : byte);
    return;
  }
  if (strict_ && (byte == '\t' || byte == '\n' || byte == '\r')) return fail(21);
  if (byte == '"' || byte == '\n' || byte == '\r' || (byte == ':' && bare_name_)) {
    take_token_as_name(last_node());
    set_top(kAwaitingColon);
    return;
  }
  if (byte == '\t') {
    store_.text() += "\\t";
    return;
  }
  store_.text().push_back(static_cast<char>(byte));
}

void JsonDocument::awaiting_colon(uint8_t byte) {
  if (byte == ':') {
    set_top(kAwaitingValue);
    return;
  }
  if (is_blank(byte)) return;
  if (strict_) return fail(31);
  set_top(kAwaitingValue);
  awaiting_value(byte);
}

void JsonDocument::awaiting_value(uint8_t byte) {
  if (byte == '{' || byte == '[') {
    separator_ = 0;
    clear_token();
    set_top(byte == '{' ? kInObject : kInArray);
    last_node().kind = byte == '{' ? kJsonObject : kJsonArray;
    ++level_;
    return;
  }
  if (byte == ',' || byte == ']' || byte == '}') {
    if (strict_ && separator_ == 2) {
      const char text[1] = {static_cast<char>(byte)};
      return fail(51, std::string_view(text, 1));
    }
    // The value is empty.
    JsonNodeStore::Slot& node = last_node();
    node.kind = kJsonNull;
    node.value_size = 0;
    node.count_open = 0;
    pop_open();
    // A "}" closes the object the member belongs to. After an array element it is the array
    // handler that called here that closes the array, so the byte goes no further.
    if (byte == '}' && !states_.empty() && states_.back() == kInObject) {
      in_object(byte);
      if (halted_) return;
    }
    separator_ = byte == ',' ? 2 : 1;
    return;
  }
  if (is_blank(byte)) return;
  separator_ = 0;
  clear_token();
  if (byte == '"') {
    last_node().kind = kJsonString;
    set_top(kReadingString);
    return;
  }
  store_.text().push_back(static_cast<char>(byte));
  set_top(kReadingLiteral);
}

void JsonDocument::reading_string(uint8_t byte) {
  if (trail_pending_) {
    trail_pending_ = false;
    if (is_gbk_trail_byte(byte)) {
      // The second byte of a character is never a backslash or a quote of the text.
      store_.text().push_back(static_cast<char>(byte));
      escape_pending_ = false;
      return;
    }
  }
  if (byte == '"' && !escape_pending_) return end_string();
  if (strict_ && (byte == '\t' || byte == '\n' || byte == '\r')) return fail(71);
  if (byte == '\n' || byte == '\r') return end_string();
  if (byte == '\t') {
    store_.text() += "\\t";
    return;
  }
  store_.text().push_back(static_cast<char>(byte));
  escape_pending_ = byte == '\\' ? !escape_pending_ : false;
  if (is_gbk_lead_byte(byte)) trail_pending_ = true;
}

void JsonDocument::take_token_as_name(JsonNodeStore::Slot& slot) {
  slot.name_at = static_cast<uint32_t>(token_start_);
  slot.name_size = static_cast<uint32_t>(store_.text().size() - token_start_);
}

void JsonDocument::take_token_as_value(JsonNodeStore::Slot& slot) {
  slot.value_at = static_cast<uint32_t>(token_start_);
  slot.value_size = static_cast<uint32_t>(store_.text().size() - token_start_);
  slot.count_open = 0;
}

void JsonDocument::end_string() {
  take_token_as_value(last_node());
  pop_open();
  separator_ = 1;
}

void JsonDocument::reading_literal(uint8_t byte) {
  if (byte == ' ' || byte == '\t') return;  // so "1 2" reads as 12
  if (!(byte == '\n' || byte == '\r' || byte == ',' || byte == ']' || byte == '}')) {
    store_.text().push_back(static_cast<char>(byte));
    return;
  }
  JsonNodeStore::Slot& node = last_node();
  if (is_json_number(token())) {
    node.kind = kJsonNumber;
  } else {
    const std::string text = strict_ ? std::string(token()) : ascii_lower(token());
    if (text == "true" || text == "false") {
      node.kind = kJsonBoolean;
    } else if (text == "null" || (text.empty() && !strict_)) {
      node.kind = kJsonNull;
    } else if (strict_) {
      node.kind = kJsonUnclassified;
      return fail(61, text);
    }
    store_.text().replace(token_start_, text.size(), text);  // the same length
  }
  take_token_as_value(node);
  uint8_t closer = byte;
  if ((byte == '}' || byte == ']') && states_.size() >= 2) {
    const uint8_t below = states_[states_.size() - 2];
    const uint8_t expected = below == kInObject ? '}' : below == kInArray ? ']' : byte;
    if (byte != expected) {
      if (strict_) return fail(62, std::string_view(byte == '}' ? "}" : "]"));
      closer = expected;
    }
  }
  pop_open();
  if (closer == '}') {
    in_object(closer);
  } else if (closer == ']') {
    in_array(closer);
  }
  if (halted_) return;
  separator_ = closer == ',' ? 2 : 1;
}

void JsonDocument::in_array(uint8_t byte) {
  if (byte == '{') {
    separator_ = 0;
    new_node(kInObject);
    return;
  }
  if (strict_ && byte == '}') return fail(41);
  if (byte == ']' || byte == '}') {
    if (separator_ == 2) {
      if (strict_) return fail(44);
      // A trailing comma: the lenient parser adds an empty element.
      new_node(kAwaitingValue);
      awaiting_value(byte);
    }
    close_container(false);
    return;
  }
  if (is_blank(byte)) return;
  if (byte == ',') {
    if (strict_ && separator_ != 1) return fail(43);
    if (separator_ == 1) {
      separator_ = 2;
      return;
    }
    new_node(kAwaitingValue);  // two commas in a row: an empty element between them
    awaiting_value(byte);
    return;
  }
  if (strict_ && separator_ == 1) return fail(42);
  new_node(kAwaitingValue);
  awaiting_value(byte);
}

void JsonDocument::fail(int32_t code, std::string_view detail) {
  error_code_ = code;
  error_position_ = position_;
  error_message_ = json_error_message(code, detail);
  halted_ = true;
}

bool JsonDocument::finish() {
  changed();
  if (store_.empty()) return false;
  const bool saved_strict = strict_;
  strict_ = false;
  // In naming mode the top-level state stays open: it holds the members, not a container.
  const std::size_t keep = named_top_level_ && store_.at(1).member_of == kJsonObjectMember ? 1 : 0;
  const std::size_t rounds = states_.size() > keep ? states_.size() - keep : 0;
  for (std::size_t round = 0; round < rounds && states_.size() > keep; ++round) {
    halted_ = false;
    switch (states_.back()) {
      case kInObject:
        in_object('}');
        break;
      case kInArray:
        in_array(']');
        break;
      case kReadingLiteral:
        reading_literal('\r');
        break;
      case kReadingName:
        if (escape_pending_) reading_name('\\');
        reading_name('"');
        break;
      case kReadingString:
        if (escape_pending_) reading_string('\\');
        reading_string('"');
        break;
      case kAwaitingColon:
        awaiting_colon(':');
        break;
      case kAwaitingValue:
        awaiting_value('\r');
        break;
    }
  }
  strict_ = saved_strict;
  return rounds > 0;
}

void JsonDocument::reset() {
  changed();
  store_.clear();
  open_nodes_.clear();
  states_.clear();
  element_counters_.clear();
  member_counters_.clear();
  level_ = 0;
  escape_pending_ = false;
  token_start_ = 0;
  bare_name_ = false;
  strict_ = false;
  position_ = 0;
  error_position_ = 0;
  error_code_ = 0;
  error_message_.clear();
  separator_ = 0;
  named_top_level_ = false;
  line_ = 0;
  column_ = 0;
  trail_pending_ = false;
  halted_ = false;
}

bool JsonDocument::is_complete() const {
  if (store_.empty()) return false;
  if (states_.empty()) return true;
  return named_top_level_ && states_.size() == 1 && store_.at(1).member_of == kJsonObjectMember;
}

int32_t JsonDocument::get_error(int32_t& position, std::string& message, int32_t& line,
                                int32_t& column) const {
  position = error_position_;
  message = error_message_;
  line = line_;
  column = column_;
  return error_code_;
}

const std::vector<JsonNode>& JsonDocument::nodes() const {
  if (!records_valid_) {
    store_.to_records(records_);
    records_valid_ = true;
  }
  return records_;
}

int32_t JsonDocument::copy_nodes(std::vector<JsonNode>& out) const {
  store_.to_records(out);
  return node_count();
}

void JsonDocument::swap_nodes(std::vector<JsonNode>& other) {
  changed();
  std::vector<JsonNode> mine;
  store_.to_records(mine);
  // A name or value still being read keeps its bytes.
  const std::string pending(token());
  store_.assign(other);
  token_start_ = store_.text().size();
  store_.text() += pending;
  other.swap(mine);
}

}  // namespace zarvex

#pragma once
// Builds compact JSON text the way the music service writes it: UTF-8 strings as they are,
// only quotes, backslashes and control characters escaped, no white space.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zarvex::standin {

class JsonWriter {
 public:
  JsonWriter& begin_object();
  JsonWriter& end_object();
  JsonWriter& begin_array();
  JsonWriter& end_array();
  JsonWriter& key(std::string_view name);
  JsonWriter& value(std::string_view text);
  JsonWriter& value(const char* text) { return value(std::string_view(text)); }
  JsonWriter& value(std::int64_t number);
  JsonWriter& value(int number) { return value(static_cast<std::int64_t>(number)); }
  JsonWriter& value(bool truth);

  // key(name).value(v) in one call.
  template <typename T>
  JsonWriter& member(std::string_view name, const T& v) {
    return key(name).value(v);
  }

  const std::string& text() const { return out_; }

 private:
  void before_value();

  std::string out_;
  std::vector<bool> has_items_;  // one entry per open container
  bool after_key_ = false;
};

// Appends text as a quoted JSON string.
void append_json_string(std::string& out, std::string_view text);

}  // namespace zarvex::standin

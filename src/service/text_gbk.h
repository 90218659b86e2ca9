#pragma once
// GBK-aware text operations. A byte of 80 hex or more starts a two-byte character; a marker or
// separator matches only where a character begins, never at the second byte of a two-byte
// character. Every search, split and replacement of the service client and the transport goes
// through these.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zarvex {

// Bytes taken by the character that starts at `pos` (pos < text.size()): 2 for a lead byte
// with a byte after it, else 1. A lead byte at the very end stands alone.
inline std::size_t gbk_char_size(std::string_view text, std::size_t pos) {
  return static_cast<unsigned char>(text[pos]) >= 0x80 && pos + 1 < text.size() ? 2 : 1;
}

// ASCII letters lowercased; the two bytes of a GBK character stay as they are, so positions in
// the result are positions in the original.
std::string ascii_lower(std::string_view gbk);

// The text up to its first zero byte: where a text ends.
std::string_view gbk_text(std::string_view bytes);

// Position of the first `marker` at or after `from` that begins at a character start;
// std::string_view::npos when absent. `from` must be a character start (0, or a position this
// function or a character walk returned). An empty marker is never found.
std::size_t gbk_find(std::string_view text, std::string_view marker, std::size_t from = 0);

// True when `marker` occurs in `text` at a character start.
inline bool gbk_contains(std::string_view text, std::string_view marker) {
  return gbk_find(text, marker) != std::string_view::npos;
}

// The pieces between separators, in order. An empty piece at the start or between adjacent
// separators is kept; a final separator adds no empty piece; "" gives no pieces. An empty
// separator gives the whole text as one piece.
std::vector<std::string> gbk_split(std::string_view text, std::string_view separator);

// Replaces every occurrence of `from` (at character starts, left to right, not overlapping) by
// `to`. An empty `from` leaves the text unchanged.
std::string gbk_replace_all(std::string_view text, std::string_view from, std::string_view to);

// True when `text` begins with `prefix` (the first byte is always a character start).
inline bool gbk_starts_with(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// True when `text` ends with `suffix` and the suffix begins at a character start.
bool gbk_ends_with(std::string_view text, std::string_view suffix);

}  // namespace zarvex

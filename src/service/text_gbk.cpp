#include "service/text_gbk.h"

#include <cstring>

namespace zarvex {

std::string ascii_lower(std::string_view gbk) {
  std::string out(gbk);
  for (std::size_t i = 0; i < out.size();) {
    const std::size_t step = gbk_char_size(out, i);
    if (step == 1 && out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] + 32);
    i += step;
  }
  return out;
}

std::string_view gbk_text(std::string_view bytes) {
  const void* zero = std::memchr(bytes.data(), 0, bytes.size());
  if (zero == nullptr) return bytes;
  return bytes.substr(0, static_cast<const char*>(zero) - bytes.data());
}

std::size_t gbk_find(std::string_view text, std::string_view marker, std::size_t from) {
  if (marker.empty() || from > text.size()) return std::string_view::npos;
  // `walk` is always a character start. A byte match is accepted only when the walk lands on it
  // exactly; when the walk steps over it, the match began inside a two-byte character.
  std::size_t walk = from;
  std::size_t candidate = text.find(marker, from);
  while (candidate != std::string_view::npos) {
    while (walk < candidate)
      walk += gbk_char_size(text, walk);
    if (walk == candidate) return candidate;
    candidate = text.find(marker, walk);
  }
  return std::string_view::npos;
}

std::vector<std::string> gbk_split(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t hit = gbk_find(text, separator, start);
    if (hit == std::string_view::npos) {
      pieces.emplace_back(text.substr(start));
      break;
    }
    pieces.emplace_back(text.substr(start, hit - start));
    start = hit + separator.size();
  }
  return pieces;
}

std::string gbk_replace_all(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t start = 0;
  for (;;) {
    std::size_t hit = gbk_find(text, from, start);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(start, hit - start));
    out.append(to);
    start = hit + from.size();
  }
  out.append(text.substr(start));
  return out;
}

bool gbk_ends_with(std::string_view text, std::string_view suffix) {
  if (suffix.size() > text.size()) return false;
  std::size_t at = text.size() - suffix.size();
  if (text.substr(at) != suffix) return false;
  std::size_t walk = 0;
  while (walk < at)
    walk += gbk_char_size(text, walk);
  return walk == at;
}

}  // namespace zarvex

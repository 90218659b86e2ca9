#include "net/ascii_case.h"

#include "service/text_gbk.h"

namespace zarvex {

std::string ascii_lower(std::string_view gbk) {
  std::string out(gbk);
  for (std::size_t i = 0; i < out.size();) {
    std::size_t step = gbk_char_size(out, i);
    if (step == 1 && out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] + 32);
    i += step;
  }
  return out;
}

std::size_t find_nocase(std::string_view text, std::string_view marker, std::size_t from) {
  return gbk_find(ascii_lower(text), ascii_lower(marker), from);
}

}  // namespace zarvex

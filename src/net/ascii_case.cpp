#include "net/ascii_case.h"

#include "service/text_gbk.h"

namespace zarvex {

std::size_t find_nocase(std::string_view text, std::string_view marker, std::size_t from) {
  return gbk_find(ascii_lower(text), ascii_lower(marker), from);
}

}  // namespace zarvex

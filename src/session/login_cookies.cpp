#include "session/login_cookies.h"

#include "service/text_codecs.h"
#include "session/login_address.h"

namespace zarvex {

namespace {

constexpr std::string_view deletion_data = "deleted; expires=Fri, 1-Jan-1999 1:1:1 GMT; path=/;";

}  // namespace

std::vector<std::string> cookie_names(std::string_view cookie_text) {
  std::vector<std::string> names;
  for (const std::string& piece : gbk_split(cookie_text, ";")) {
    std::string name = trim(std::string_view(piece).substr(0, piece.find('=')));
    if (!name.empty()) names.push_back(std::move(name));
  }
  return names;
}

std::array<std::string, 2> cookie_deletion_lines(std::string_view name, std::string_view host) {
  const std::string plain = std::string(name) + "=" + std::string(deletion_data);
  return {plain, plain + " domain=" + registrable_domain(host)};
}

}  // namespace zarvex

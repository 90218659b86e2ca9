#include "net/request_address.h"

#include <charconv>

#include "net/ascii_case.h"
#include "service/text_gbk.h"

namespace zarvex {
namespace {

bool host_name_ok(std::string_view host) {
  if (host.empty()) return false;
  for (char c : host) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
    if (!ok) return false;
  }
  return true;
}

// A port is a decimal number of 1 to 65535 and nothing else.
int read_port(std::string_view digits) {
  int port = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
  if (error != std::errc() || end != digits.data() + digits.size()) return 0;
  return (port >= 1 && port <= 65535) ? port : 0;
}

}  // namespace

RequestAddress split_request_address(std::string_view address) {
  RequestAddress out;
  const std::string original_lower = ascii_lower(address);
  std::string lower = original_lower;
  if (!gbk_ends_with(lower, "/")) lower += "/";

  std::string_view marker = "http://";
  bool prefixed = false;
  if (gbk_starts_with(lower, "https://")) {
    marker = "https://";
  } else if (!gbk_contains(lower, "http://")) {
    lower.insert(0, "http://");
    prefixed = true;
  }
  out.secure = marker == "https://";

  // The host part runs from the scheme to the next "/" (the appended one at the latest). A "?"
  // before that slash ends the host too: the query of such an address is not a host name.
  const std::size_t start = gbk_find(lower, marker) + marker.size();
  std::size_t end = gbk_find(lower, "/", start);
  std::string_view host_part = std::string_view(lower).substr(start, end - start);
  if (std::size_t query = host_part.find('?'); query != std::string_view::npos) {
    host_part = host_part.substr(0, query);
  }

  const std::size_t first_colon = host_part.find(':');
  out.host = std::string(host_part.substr(0, first_colon));
  if (first_colon != std::string_view::npos) {
    out.port = read_port(host_part.substr(host_part.rfind(':') + 1));
  } else {
    out.port = gbk_starts_with(original_lower, "https") ? 443 : 80;
  }

  // The path starts at the first "/" after the host. The host is looked for after the scheme,
  // so a host whose name also occurs in the scheme ("p", "http") is not found inside it.
  const std::size_t marker_at = prefixed ? std::string::npos : gbk_find(original_lower, marker);
  const std::size_t search_from = marker_at == std::string::npos ? 0 : marker_at + marker.size();
  const std::size_t host_at = gbk_find(original_lower, out.host, search_from);
  const std::size_t slash =
      host_at == std::string::npos ? std::string::npos : gbk_find(address, "/", host_at);
  out.path = slash == std::string::npos ? std::string("/") : std::string(address.substr(slash));

  out.valid = host_name_ok(out.host) && out.port != 0;
  return out;
}

std::string connection_url(const RequestAddress& address) {
  if (!address.valid) return {};
  return std::string(address.secure ? "https://" : "http://") + address.host + ":" +
         std::to_string(address.port) + address.path;
}

}  // namespace zarvex

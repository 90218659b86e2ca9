#include "net/http.h"

#include <charconv>

#include "net/ascii_case.h"
#include "net/cookies.h"
#include "net/curl_request.h"
#include "net/header_block.h"
#include "net/request_address.h"
#include "service/text_codecs.h"

namespace zarvex {
namespace {

// A request with no time-outs of its own gets the usual defaults of a desktop Internet
// session: a minute to connect, half a minute for each send and receive.
constexpr Timeouts session_timeouts{0, 60000, 30000, 30000};
constexpr Timeouts fetch_timeouts{15000, 15000, 15000, 15000};
constexpr Timeouts probe_timeouts{5000, 5000, 10000, 5000};

// "Name: value" with name and value trimmed, as a header is set from its line.
std::string header_line(std::string_view line) {
  std::size_t colon = gbk_find(line, ":");
  if (colon == std::string_view::npos) return trim(line);
  return trim(line.substr(0, colon)) + ": " + trim(line.substr(colon + 1));
}

// The value of the first header `name` among CR LF separated lines, trimmed; "" when absent.
std::string header_value(std::string_view headers, std::string_view name) {
  for (const std::string& line : gbk_split(headers, "\r\n")) {
    std::size_t colon = gbk_find(line, ":");
    if (colon == std::string::npos) continue;
    if (ascii_lower(trim(std::string_view(line).substr(0, colon))) == ascii_lower(name)) {
      return trim(std::string_view(line).substr(colon + 1));
    }
  }
  return {};
}

// A Content-Length is digits only; anything else (or nothing) counts as 0.
std::int64_t content_length(std::string_view text) {
  std::int64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return 0;
  return value;
}

void report(const CurlResult& result, HttpOutcome* outcome) {
  if (outcome == nullptr) return;
  outcome->status = result.status;
  outcome->answered = result.status != 0;
  outcome->error = result.error;
}

// Points `request` at `address`; false, with the reason in `outcome`, when the address can't
// be used. `outcome` starts afresh either way.
bool aim(CurlRequest& request, std::string_view address, HttpOutcome* outcome) {
  if (outcome != nullptr) *outcome = {};
  const RequestAddress target = split_request_address(address);
  if (!target.valid) {
    if (outcome != nullptr) outcome->error = "unusable address: " + std::string(address);
    return false;
  }
  request.url = connection_url(target);
  request.secure = target.secure;
  return true;
}

}  // namespace

std::string fetch_with_headers(std::string_view address, std::string_view extra_headers,
                               const HttpOptions& options, HttpOutcome* outcome) {
  CurlRequest request;
  if (!aim(request, address, outcome)) return {};
  request.agent = agent_string(extra_headers);
  request.headers = gbk_split(complete_header_block(extra_headers, address), "\r\n");
  request.timeouts = session_timeouts;
  // What arrived before a failure is the result, as with a read loop that stops early.
  CurlResult result = perform_request(request, options);
  report(result, outcome);
  return std::move(result.body);
}

std::string fetch_with_cookies(std::string_view address, std::string* cookie_text,
                               const HttpOptions& options, HttpOutcome* outcome) {
  CurlRequest request;
  if (!aim(request, address, outcome)) return {};
  if (cookie_text != nullptr && !cookie_text->empty()) {
    request.headers.push_back(header_line("Cookie: " + *cookie_text));
  }
  request.headers.push_back("Accept: */*");
  request.headers.push_back(header_line("Referer: " + std::string(address)));
  request.headers.push_back("Accept-Language: zh-cn");
  request.headers.push_back("User-Agent: " + std::string(default_agent));
  request.headers.push_back("Content-Type: application/x-www-form-urlencoded");
  request.timeouts = fetch_timeouts;

  CurlResult result = perform_request(request, options);
  report(result, outcome);
  if (!result.made) return {};
  if (cookie_text != nullptr) {
    std::string collected = collect_set_cookies(result.headers);
    merge_cookies(*cookie_text, collected);
  }
  return result.completed ? std::move(result.body) : std::string();
}

std::int64_t probe_content_length(std::string_view address, const HttpOptions& options) {
  CurlRequest request;
  if (!aim(request, address, nullptr)) return -1;
  request.head = true;
  request.headers = {"User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)",
                     "Accept-Language: zh-cn", "Connection: Keep-Alive"};
  request.timeouts = probe_timeouts;

  CurlResult result = perform_request(request, options);
  if (!result.made) return -2;
  if (!result.completed || result.status != 200) return -1;
  return content_length(header_value(result.headers, "Content-Length"));
}

}  // namespace zarvex

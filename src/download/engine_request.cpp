#include "download/engine_request.h"

#include <string_view>

#include "download/engine.h"

namespace zarvex {

curl_slist* engine_headers(const std::string& range_line) {
  curl_slist* list = nullptr;
  std::string_view block = kEngineHeaderBlock;
  while (!block.empty()) {
    auto end = block.find("\r\n");
    std::string line(block.substr(0, end));
    list = curl_slist_append(list, line.c_str());
    if (end == std::string_view::npos) break;
    block.remove_prefix(end + 2);
  }
  if (!range_line.empty()) list = curl_slist_append(list, range_line.c_str());
  return list;
}

void set_engine_request_options(CURL* h, const std::string& url, curl_slist* headers) {
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, 15L);
}

}  // namespace zarvex

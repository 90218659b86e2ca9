#pragma once
// A plain libcurl client for the stand-in's tests: one GET or HEAD, no redirects followed,
// TLS verified against the given authority file (or the system's when none is given).

#include <curl/curl.h>

#include <string>
#include <vector>

namespace zarvex::test {

struct Fetched {
  bool ok = false;  // an answer arrived
  long status = 0;
  std::string body;
  std::vector<std::string> headers;  // "Name: value" lines, without CR LF
  std::string error;                 // libcurl's text when no answer arrived

  // Values of every header with this name (compared without case).
  std::vector<std::string> header_values(const std::string& name) const {
    std::vector<std::string> values;
    for (const auto& line : headers) {
      const auto colon = line.find(':');
      if (colon == std::string::npos || colon != name.size()) continue;
      if (curl_strnequal(line.c_str(), name.c_str(), name.size()) == 0) continue;
      std::size_t start = colon + 1;
      while (start < line.size() && line[start] == ' ')
        ++start;
      values.push_back(line.substr(start));
    }
    return values;
  }
};

inline Fetched fetch(const std::string& url, const std::string& ca_file = {}, bool head = false) {
  Fetched out;
  CURL* curl = curl_easy_init();
  if (!curl) return out;
  auto on_body = +[](char* data, size_t size, size_t count, void* user) -> size_t {
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
  };
  auto on_header = +[](char* data, size_t size, size_t count, void* user) -> size_t {
    std::string line(data, size * count);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
      line.pop_back();
    if (!line.empty()) static_cast<std::vector<std::string>*>(user)->push_back(line);
    return size * count;
  };
  char error[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, on_body);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &out.body);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, on_header);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &out.headers);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 30L);
  curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
  if (head) curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
  if (!ca_file.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, ca_file.c_str());
  const CURLcode rc = curl_easy_perform(curl);
  out.ok = rc == CURLE_OK;
  if (out.ok) {
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &out.status);
  } else {
    out.error = error[0] ? error : curl_easy_strerror(rc);
  }
  curl_easy_cleanup(curl);
  return out;
}

// Every byte as %XX, the way the program encodes a search keyword.
inline std::string percent_encode_all(const std::string& text) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    out += '%';
    out += hex[c >> 4];
    out += hex[c & 15];
  }
  return out;
}

}  // namespace zarvex::test

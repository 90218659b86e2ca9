#include "net/curl_request.h"

#include <curl/curl.h>
#include <strings.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string_view>

#include "net/curl_init.h"

namespace zarvex {

void init_curl_once() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

namespace {

struct EasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;

// curl_slist_append returns the list's head, or null (list unchanged) when out of memory.
void append_line(HeaderList& list, const char* line) {
  if (curl_slist* head = curl_slist_append(list.get(), line)) {
    (void)list.release();
    list.reset(head);
  }
}

size_t on_body(char* data, size_t size, size_t count, void* user) {
  static_cast<std::string*>(user)->append(data, size * count);
  return size * count;
}

// Keeps only the header lines of the latest answer: a status line starts a new answer, so
// the headers of redirects and interim answers are dropped; the blank end line is not kept.
size_t on_header(char* data, size_t size, size_t count, void* user) {
  auto* headers = static_cast<std::string*>(user);
  std::string_view line(data, size * count);
  if (line.starts_with("HTTP/")) {
    headers->clear();
  } else if (line != "\r\n" && line != "\n") {
    headers->append(line);
  }
  return size * count;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Certificates are always verified. The extra bundle is handed over in memory; a bundle in
// memory replaces libcurl's default CA file but not its default CA folder, so where the build
// trusts the system only through a file, that file joins the bundle.
void set_trust(CURL* handle, const HttpOptions& options) {
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
  if (options.ca_file.empty()) return;
  std::string bundle = read_file(options.ca_file);
  if (bundle.empty()) return;
  char* default_path = nullptr;
  char* default_file = nullptr;
  curl_easy_getinfo(handle, CURLINFO_CAPATH, &default_path);
  curl_easy_getinfo(handle, CURLINFO_CAINFO, &default_file);
  if (default_path == nullptr && default_file != nullptr) {
    bundle = read_file(default_file) + "\n" + bundle;
  }
  curl_blob blob{bundle.data(), bundle.size(), CURL_BLOB_COPY};
  curl_easy_setopt(handle, CURLOPT_CAINFO_BLOB, &blob);
}

// The four time-outs mapped onto libcurl: name resolution is timed by libcurl as part of
// connecting, so resolution plus connection bound the connect phase; sending and receiving
// become a stall guard: a request that moves not one byte per second in either direction for
// the longer of the two is dropped. A slow but moving answer is never cut.
void set_timeouts(CURL* handle, const Timeouts& t) {
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, t.resolve_ms + t.connect_ms);
  long stall_ms = std::max(t.send_ms, t.receive_ms);
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, std::max(1L, (stall_ms + 999) / 1000));
}

}  // namespace

CurlResult perform_request(const CurlRequest& request, const HttpOptions& options) {
  CurlResult result;
  init_curl_once();
  EasyHandle handle(curl_easy_init());
  if (!handle) {
    result.error = "cannot create a request";
    return result;
  }
  CURL* h = handle.get();
  result.made = true;

  curl_easy_setopt(h, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  // Direct connections only: proxy settings of the environment do not apply.
  curl_easy_setopt(h, CURLOPT_PROXY, "");
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  // Redirects are followed, from http also to https, but never from https down to http.
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, request.secure ? "https" : "http,https");
  curl_easy_setopt(h, CURLOPT_PATH_AS_IS, 1L);
  if (request.head) curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
  if (!request.agent.empty()) curl_easy_setopt(h, CURLOPT_USERAGENT, request.agent.c_str());

  set_trust(h, options);
  set_timeouts(h, request.timeouts);

  // libcurl adds an Accept line of its own unless the caller's lines carry one; an empty
  // "Accept:" line keeps it out where the caller's set has none.
  HeaderList list;
  bool has_accept = false;
  for (std::string line : request.headers) {
    // A line break inside a value (a cookie text, an address) would start a header of its own.
    std::erase_if(line, [](char c) { return c == '\r' || c == '\n'; });
    std::string_view name(line);
    name = name.substr(0, name.find(':'));
    if (name.size() == 6 && strncasecmp(name.data(), "Accept", 6) == 0) has_accept = true;
    append_line(list, line.c_str());
  }
  if (!has_accept) append_line(list, "Accept:");
  curl_easy_setopt(h, CURLOPT_HTTPHEADER, list.get());

  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, on_body);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &result.body);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, on_header);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, &result.headers);

  char error_text[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, error_text);
  CURLcode code = curl_easy_perform(h);
  result.completed = code == CURLE_OK;
  if (!result.completed) result.error = error_text[0] ? error_text : curl_easy_strerror(code);
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &result.status);
  return result;
}

}  // namespace zarvex

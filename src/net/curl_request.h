#pragma once
// One request on one libcurl easy handle: the common ground of the transport's routines
// (trust, proxies, redirects, time-outs, header capture). Internal to net/.

#include <string>
#include <vector>

#include "net/http_options.h"

namespace zarvex {

// The four time-outs of a request, in milliseconds.
struct Timeouts {
  long resolve_ms = 0;
  long connect_ms = 0;
  long send_ms = 0;
  long receive_ms = 0;
};

struct CurlRequest {
  bool head = false;                 // HEAD instead of GET
  std::string url;                   // scheme://host:port/path?query
  bool secure = false;               // https: redirects may not leave https
  std::vector<std::string> headers;  // "Name: value" lines, sent in this order after Host
  std::string agent;                 // User-Agent unless a header line carries one
  Timeouts timeouts;
};

struct CurlResult {
  bool made = false;       // a handle could be created and the request was attempted
  bool completed = false;  // the whole answer arrived
  long status = 0;         // status of the final answer; 0 when none arrived
  std::string body;        // what arrived of the final answer's body
  std::string headers;     // the final answer's header lines, each ending in CR LF
  std::string error;       // libcurl's description of a failure; empty on success
};

CurlResult perform_request(const CurlRequest& request, const HttpOptions& options);

}  // namespace zarvex

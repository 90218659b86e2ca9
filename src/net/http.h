#pragma once
// The transport's three requests. Each blocks the calling thread (workers only), opens and
// closes its own handle and reports failure by its result, never by an exception.

#include <cstdint>
#include <string>
#include <string_view>

#include "net/http_options.h"

namespace zarvex {

// What came back, for callers that must tell "no answer" from "an empty answer".
struct HttpOutcome {
  bool answered = false;  // an answer (of any status) arrived
  long status = 0;        // the final answer's status; 0 when none arrived
  std::string error;      // why the request failed, in English; empty when it did not
};

// GET with a caller's block of extra header lines (CR LF separated, no final CR LF), completed
// by the default lines. Returns the body; empty on failure, or what arrived before a failure.
std::string fetch_with_headers(std::string_view address, std::string_view extra_headers,
                               const HttpOptions& options, HttpOutcome* outcome = nullptr);

// GET with the default headers for the service's JSONP interfaces. A non-empty cookie text
// goes out as the first header; afterwards the cookies the answer set are merged into it.
// `cookie_text` may be null (no cookie). Returns the body (of an error status too); empty
// when no answer arrived.
std::string fetch_with_cookies(std::string_view address, std::string* cookie_text,
                               const HttpOptions& options, HttpOutcome* outcome = nullptr);

// HEAD on a media address: the Content-Length of a 200 answer (0 when missing or not a
// number), -1 for any other status or a failed request, -2 when no request could be made.
std::int64_t probe_content_length(std::string_view address, const HttpOptions& options);

}  // namespace zarvex

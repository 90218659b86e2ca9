#pragma once
// What every request of the download engine carries: the engine's header block (plus a Range
// line for a block) and the transfer options shared by the size request and the block workers;
// and the comparison their answers' header names and values are read with.

#include <curl/curl.h>

#include <string>
#include <string_view>

namespace zarvex {

// The engine's header lines, with `range_line` appended when it is not empty. Caller frees.
curl_slist* engine_headers(const std::string& range_line);

// Address, header list, redirects (http and https only), no signals, connect time-out.
void set_engine_request_options(CURL* handle, const std::string& url, curl_slist* headers);

// True when a and b are the same text without regard to ASCII case.
bool equals_ignoring_case(std::string_view a, std::string_view b);

}  // namespace zarvex

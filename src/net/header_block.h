#pragma once
// The default header lines that complete a caller's header block, and the agent string a
// request goes out with.

#include <string>
#include <string_view>

namespace zarvex {

// The agent string used when no header line names one.
inline constexpr std::string_view default_agent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// Adds, where the block lacks them (exact, case-sensitive search): Accept "*/*", a Referer of
// `address`, Accept-Language "zh-cn" and Content-Type "application/x-www-form-urlencoded",
// in this order, joined by CR LF.
std::string complete_header_block(std::string_view extra_headers, std::string_view address);

// The value of the block's User-Agent line (name found without regard to case), or, when that
// line has no value before a CR LF, the text after the block's first ":"; default_agent when
// the block has no User-Agent. Cut at a line break, so it is always a single line.
std::string agent_string(std::string_view extra_headers);

}  // namespace zarvex

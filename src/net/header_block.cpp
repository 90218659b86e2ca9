#include "net/header_block.h"

#include "net/ascii_case.h"
#include "service/text_codecs.h"

namespace zarvex {

std::string complete_header_block(std::string_view extra_headers, std::string_view address) {
  std::string block(extra_headers);
  if (block.empty()) {
    block = "Accept: */*";
  } else if (!gbk_contains(block, "Accept:")) {
    block += "\r\nAccept: */*";
  }
  if (!gbk_contains(block, "Referer:")) {
    block += "\r\nReferer: ";
    block += address;
  }
  if (!gbk_contains(block, "Accept-Language:")) block += "\r\nAccept-Language: zh-cn";
  if (!gbk_contains(block, "Content-Type:")) {
    block += "\r\nContent-Type: application/x-www-form-urlencoded";
  }
  return block;
}

std::string agent_string(std::string_view extra_headers) {
  if (find_nocase(extra_headers, "User-Agent:") == std::string_view::npos) {
    return std::string(default_agent);
  }
  std::string agent = trim(text_between(extra_headers, "User-Agent:", "\r\n"));
  if (agent.empty()) {
    std::size_t colon = gbk_find(extra_headers, ":");
    agent = trim(extra_headers.substr(colon + 1));
  }
  return agent.substr(0, agent.find_first_of("\r\n"));
}

}  // namespace zarvex

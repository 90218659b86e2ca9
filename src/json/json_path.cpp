#include "json/json_path.h"

#include "service/text_gbk.h"

namespace zarvex {

void split_json_path(std::string_view path, std::vector<std::string_view>& segments) {
  segments.clear();
  std::size_t begin = 0;
  for (std::size_t i = 0; i < path.size(); i += gbk_char_size(path, i)) {
    if (path[i] == '.') {
      segments.push_back(path.substr(begin, i - begin));
      begin = i + 1;
    } else if (path[i] == '[') {
      // "list.[3]" is "list[3]": a dot right before an index separates nothing more.
      if (!(begin == i && i > 0 && path[i - 1] == '.')) {
        segments.push_back(path.substr(begin, i - begin));
      }
      begin = i;
    }
  }
  segments.push_back(path.substr(begin));
  if (segments.size() >= 2 && segments[0].empty() && !segments[1].empty() &&
      segments[1].front() == '[') {
    segments.erase(segments.begin());
  }
}

}  // namespace zarvex

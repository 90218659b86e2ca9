#pragma once
// Splitting a path such as "data.song.list[3].title" into its segments.

#include <string_view>
#include <vector>

namespace zarvex {

// Segments of `path`, as views into it: split at every "." and before every "[", a "."
// right before a "[" counting once (so "list[3]" and "list.[3]" both give list, [3]). Empty
// segments stay; a path ending in "." ends with an empty segment; a path that begins with an index
// drops the empty segment in front of it ("[0].name" gives [0], name). The empty path is one empty
// segment. A byte that is the second byte of a two-byte character never splits.
void split_json_path(std::string_view path, std::vector<std::string_view>& segments);

}  // namespace zarvex

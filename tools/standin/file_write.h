#pragma once
// Writing a whole file so that a reader never sees half of it: the bytes go to "<path>.part"
// beside the target, which is then renamed over it.

#include <filesystem>
#include <string>

namespace zarvex::standin {

// Writes `contents` to `path`; `secret` makes the file readable by its owner only. False with
// error set ("cannot write ...") on failure.
bool write_file(const std::filesystem::path& path, const std::string& contents, bool secret,
                std::string& error);

}  // namespace zarvex::standin

#include "file_write.h"

#include <sys/stat.h>

#include <cstdio>

namespace zarvex::standin {

bool write_file(const std::filesystem::path& path, const std::string& contents, bool secret,
                std::string& error) {
  const std::filesystem::path temp = path.string() + ".part";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) {
    error = "cannot write " + temp.string();
    return false;
  }
  if (secret) ::chmod(temp.c_str(), 0600);
  const bool ok = std::fwrite(contents.data(), 1, contents.size(), f) == contents.size();
  if (std::fclose(f) != 0 || !ok) {
    error = "cannot write " + temp.string();
    return false;
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    error = "cannot write " + path.string() + ": " + ec.message();
    return false;
  }
  return true;
}

}  // namespace zarvex::standin

#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace zarvex::test {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "zarvex_download_XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  // Writes a file of `size` bytes (or with `contents`) at path() + "/" + name (UTF-8 name).
  std::string put(const std::string& name, std::size_t size) const {
    return put_text(name, std::string(size, 'x'));
  }
  std::string put_text(const std::string& name, const std::string& contents) const {
    std::string file = path_ + "/" + name;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::ofstream(file, std::ios::binary) << contents;
    return file;
  }

 private:
  std::string path_;
};

}  // namespace zarvex::test

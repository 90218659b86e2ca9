#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it. path() is
// empty when the folder could not be made.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace zarvex::test {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zarvex_test_XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name; nothing is made.
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Writes a file of `size` bytes (or with `contents`) at file(name) (UTF-8 name), making its
  // folders.
  std::string put(const std::string& name, std::size_t size) const {
    return put_text(name, std::string(size, 'x'));
  }
  std::string put_text(const std::string& name, const std::string& contents) const {
    const std::string path = file(name);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << contents;
    return path;
  }

 private:
  std::string path_;
};

}  // namespace zarvex::test

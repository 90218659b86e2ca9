#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/codepage.h"

namespace zarvex {
namespace {

bool stat_path(std::string_view gbk_path, struct stat& info) {
  if (gbk_path.empty()) return false;
  return ::stat(native_path(gbk_path).c_str(), &info) == 0;
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

std::string native_path(std::string_view gbk_path) {
  return utf8_from_gbk(gbk_path);
}

bool path_exists(std::string_view gbk_path) {
  struct stat info {};
  return stat_path(gbk_path, info);
}

bool file_exists(std::string_view gbk_path) {
  struct stat info {};
  return stat_path(gbk_path, info) && !S_ISDIR(info.st_mode);
}

bool is_directory(std::string_view gbk_path) {
  struct stat info {};
  return stat_path(gbk_path, info) && S_ISDIR(info.st_mode);
}

std::int64_t file_size(std::string_view gbk_path) {
  struct stat info {};
  if (!stat_path(gbk_path, info) || S_ISDIR(info.st_mode)) return -1;
  return static_cast<std::int64_t>(info.st_size);
}

bool delete_file(std::string_view gbk_path) {
  if (!file_exists(gbk_path)) return false;
  return ::unlink(native_path(gbk_path).c_str()) == 0;
}

bool create_directories(std::string_view gbk_path) {
  if (gbk_path.empty()) return false;
  const std::string path = native_path(gbk_path);
  // Create each missing folder along the path, from the root down.
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string prefix = path.substr(0, slash);
    if (!prefix.empty() && ::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> list_files(std::string_view gbk_folder) {
  std::vector<std::string> names;
  std::string folder = native_path(gbk_folder);
  if (folder.empty()) return names;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return names;
  if (folder.back() != '/') folder.push_back('/');
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat info {};
    if (::stat((folder + name).c_str(), &info) != 0 || S_ISDIR(info.st_mode)) continue;
    names.push_back(gbk_from_utf8(name));
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<std::string> read_file(std::string_view gbk_path) {
  if (gbk_path.empty()) return std::nullopt;
  const int fd = ::open(native_path(gbk_path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string content;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return content;
}

bool write_file(std::string_view gbk_path, std::string_view bytes) {
  if (gbk_path.empty()) return false;
  static std::atomic<unsigned> counter{0};
  const std::string path = native_path(gbk_path);
  // A short name of its own in the same folder: a file name near the system's 255-byte limit
  // must not make the temporary name too long.
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string temporary = folder + ".zarvex" + std::to_string(::getpid()) + "-" +
                                std::to_string(counter.fetch_add(1)) + ".tmp";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  const bool written = write_all(fd, bytes);
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace zarvex

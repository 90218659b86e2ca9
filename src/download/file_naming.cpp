#include "download/file_naming.h"

#include <algorithm>

#include "platform/codepage.h"
#include "service/text_gbk.h"

namespace zarvex {

std::string build_base_name(int nametype, std::string_view customname, std::string_view song,
                            std::string_view singer, std::string_view album) {
  static const std::string singer_tag = gbk_from_utf8("%歌手%");
  static const std::string song_tag = gbk_from_utf8("%歌曲名%");
  static const std::string album_tag = gbk_from_utf8("%专辑名%");
  const std::string dash = "-";
  std::string name;
  switch (nametype) {
    case 1:
      name = song;
      break;
    case 2:
      name = std::string(singer) + dash + std::string(song);
      break;
    case 3:
      name = std::string(song) + dash + std::string(singer);
      break;
    case 4:
      name = std::string(song) + dash + std::string(singer) + dash + std::string(album);
      break;
    case 5:
      name = gbk_replace_all(customname, singer_tag, singer);
      name = gbk_replace_all(name, song_tag, song);
      name = gbk_replace_all(name, album_tag, album);
      break;
    default:
      return "";
  }
  return gbk_replace_all(name, "/", "-");
}

std::string join_folder(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

std::string fit_base_name(std::string_view base_name, std::string_view extension) {
  const std::size_t ext_bytes = std::max<std::size_t>(utf8_from_gbk(extension).size(), 4);
  if (ext_bytes >= kMaxFileNameBytes) return "";
  const std::size_t room = kMaxFileNameBytes - ext_bytes;
  if (utf8_from_gbk(base_name).size() <= room) return std::string(base_name);
  std::size_t used = 0;
  std::size_t pos = 0;
  while (pos < base_name.size()) {
    const std::size_t n = gbk_char_size(base_name, pos);
    const std::size_t bytes = utf8_from_gbk(base_name.substr(pos, n)).size();
    if (used + bytes > room) break;
    used += bytes;
    pos += n;
  }
  return std::string(base_name.substr(0, pos));
}

}  // namespace zarvex

#pragma once
// How a chosen song becomes a file: the extension of a quality, the base name by the naming
// rule, and the paths in the download folder. Texts are GBK; paths use "/".

#include <string>
#include <string_view>

namespace zarvex {

// The base name by rule `nametype`: 1 song, 2 singer-song, 3 song-singer, 4 song-singer-album,
// 5 `customname` with "%歌手%", "%歌曲名%" and "%专辑名%" replaced (all occurrences, in that
// order); "" for any other rule. A "/" in the result becomes "-": a name never reaches into
// another folder.
std::string build_base_name(int nametype, std::string_view customname, std::string_view song,
                            std::string_view singer, std::string_view album);

// folder + "/" + name, with exactly one "/" between them also when the folder ends with one.
std::string join_folder(std::string_view folder, std::string_view name);

// The longest name the file system takes for one path component, counted in UTF-8 bytes.
inline constexpr std::size_t kMaxFileNameBytes = 255;

// The base name cut (at a character boundary) so that it with any of the download's
// extensions (the media file's, or ".lrc") fits kMaxFileNameBytes in UTF-8.
std::string fit_base_name(std::string_view base_name, std::string_view extension);

}  // namespace zarvex

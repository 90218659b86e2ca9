#pragma once
// File-system calls with GBK path texts, as the core holds them. A path uses "/" and is converted
// to UTF-8 at the system call; names read from the system are converted back to GBK (a name that
// GBK cannot represent comes back with "?" in it).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarvex {

// The UTF-8 form of a GBK path, for system calls made elsewhere (open, fopen).
std::string native_path(std::string_view gbk_path);

// True when anything (file or folder) exists at the path.
bool path_exists(std::string_view gbk_path);
// True when a file that is not a folder exists at the path.
bool file_exists(std::string_view gbk_path);
bool is_directory(std::string_view gbk_path);

// Size in bytes of the file at the path; -1 when there is none (or it is a folder).
std::int64_t file_size(std::string_view gbk_path);

// Deletes a file (not a folder); true when it was deleted.
bool delete_file(std::string_view gbk_path);

// Creates the folder and any missing parents; true when the folder exists afterwards.
bool create_directories(std::string_view gbk_path);

// Bare names (GBK) of the files in a folder, sub-folders and their contents left out, sorted by
// their bytes. Empty when the folder cannot be read.
std::vector<std::string> list_files(std::string_view gbk_folder);

// The whole content of a file; nullopt when it cannot be read.
std::optional<std::string> read_file(std::string_view gbk_path);

// Replaces the file's content with `bytes`: written beside it under a temporary name and then
// renamed over it, so a failed write never leaves a cut-off file. True on success.
bool write_file(std::string_view gbk_path, std::string_view bytes);

}  // namespace zarvex

#pragma once
// The finished-files list: the music files found in the download folder, rebuilt from the
// folder on demand, and the deletion of one of them. The folder listing also serves the
// duplicate check of a new download. Texts and paths are GBK; paths use "/".

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/list_table.h"
#include "platform/ui_port.h"

namespace zarvex {

enum FinishedColumn : std::size_t {
  finished_number = 0,  // "编号"
  finished_name = 1,    // "歌曲名": file name without extension
  finished_size = 2,    // "文件大小", e.g. "4.77M"
  finished_format = 3,  // "文件格式": "mp3", "ape" or "flac"
  finished_lyrics = 4,  // "是否有歌词": "有歌词" or "无歌词"
};

// The column titles of the finished-files list (GBK).
std::vector<std::string> finished_list_titles();

// Appends the bare names (full_path false) or folder + "/" + name (true) of the files in
// `folder` matching `pattern` ("*" and "?" wildcards; "*.*" matches every name, as it always
// has); sub-folders are not searched. Returns the list's size afterwards.
std::size_t list_folder_files(std::string_view folder, std::string_view pattern,
                              std::vector<std::string>& out, bool full_path);

// Empties `table` and fills it with the mp3, ape and flac files of `folder`.
void refresh_finished_list(ListTable& table, std::string_view folder);

// Writes 1, 2, … n into column 0 of the table's rows.
void renumber_rows(ListTable& table);

// The file name of a path (after the last "/"), with or without its extension (the part from
// the name's last ".").
std::string file_base_name(std::string_view path, bool with_extension);

// The file's size in kilobytes rounded up; -1 when there is no such file.
std::int64_t file_size_kb(std::string_view path);

// file_size_kb ÷ 1024 rounded to two places, shortest form, then "M" (4883 KB gives "4.77M").
std::string size_text_mb(std::string_view path);

// "删除文件" on the row `row` of the finished list: asks, then deletes the song file (not its
// lyrics) from `setdir`. The row is removed only when the file was deleted; a failure shows
// "删除歌曲失败". Returns true when the file was deleted.
bool delete_finished_file(ListTable& table, std::size_t row, std::string_view setdir, Ui& ui);

}  // namespace zarvex

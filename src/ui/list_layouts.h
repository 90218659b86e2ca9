#pragma once
// Column widths of the main window's lists, as the window shows them; width 0 hides a column
// that carries data for the program (identifiers, quality tags, task numbers).

#include <vector>

namespace zarvex {

// 质量, 歌曲名, 歌手, 专辑, mid, size, id, media mid
inline const std::vector<int> song_list_widths = {50, 150, 120, 130, 0, 0, 0, 0};
// 编号, 文件名, 状态, 大小, 下载进度, 下载ID
inline const std::vector<int> download_list_widths = {50, 170, 80, 50, 100, 0};
// 编号, 歌曲名, 文件大小, 文件格式, 是否有歌词
inline const std::vector<int> finished_list_widths = {50, 120, 100, 100, 100};

}  // namespace zarvex

#pragma once
// Column widths of the download lists, as the window shows them; width 0 hides a column that
// carries data for the program (the task number). The song lists' widths come with their layout.

#include <vector>

namespace zarvex {

// 编号, 文件名, 状态, 大小, 下载进度, 下载ID
inline const std::vector<int> download_list_widths = {50, 170, 80, 50, 100, 0};
// 编号, 歌曲名, 文件大小, 文件格式, 是否有歌词
inline const std::vector<int> finished_list_widths = {50, 120, 100, 100, 100};

}  // namespace zarvex

#pragma once
// The download list's layout and status words, and the routines that only read or number it.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/list_table.h"

namespace zarvex {

enum DownloadColumn : std::size_t {
  download_number = 0,    // "编号": 1..n
  download_name = 1,      // "文件名": base name without extension
  download_status = 2,    // "状态": a status word
  download_size = 3,      // "大小": whole megabytes + "M"
  download_progress = 4,  // "下载进度": whole percent + "%"
  download_task = 5,      // "下载ID" (hidden): the engine's task number
};

// Column titles (GBK).
std::vector<std::string> download_list_titles();

// Status words (GBK).
const std::string& status_running();  // "正在下载": counts against downnum
const std::string& status_waiting();  // "等待下载": paused in the engine, waits for a slot
const std::string& status_paused();   // "已暂停": paused by the user
const std::string& status_failed();   // "下载失败": the job ended without its file complete

// Rows whose status is exactly "正在下载".
int count_running_tasks(const ListTable& download_list);

// Column 5 of a row as a task number (0 when it is not a number).
int task_number_of(const ListRow& row);

}  // namespace zarvex

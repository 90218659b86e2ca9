#include "download/download_list.h"

#include <cstdlib>

#include "platform/codepage.h"

namespace zarvex {

std::vector<std::string> download_list_titles() {
  return {gbk_from_utf8("编号"), gbk_from_utf8("文件名"),   gbk_from_utf8("状态"),
          gbk_from_utf8("大小"), gbk_from_utf8("下载进度"), gbk_from_utf8("下载ID")};
}

const std::string& status_running() {
  static const std::string word = gbk_from_utf8("正在下载");
  return word;
}
const std::string& status_waiting() {
  static const std::string word = gbk_from_utf8("等待下载");
  return word;
}
const std::string& status_paused() {
  static const std::string word = gbk_from_utf8("已暂停");
  return word;
}
const std::string& status_failed() {
  static const std::string word = gbk_from_utf8("下载失败");
  return word;
}

int count_running_tasks(const ListTable& download_list) {
  return download_list.read([](const std::vector<ListRow>& rows) {
    int running = 0;
    for (const auto& row : rows) {
      if (row.cells.size() > download_status && row.cells[download_status] == status_running())
        ++running;
    }
    return running;
  });
}

int task_number_of(const ListRow& row) {
  if (row.cells.size() <= download_task) return 0;
  return std::atoi(row.cells[download_task].c_str());
}

}  // namespace zarvex

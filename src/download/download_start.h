#pragma once
// Turning a chosen song into a download task: address, probe, file name by the naming rule,
// duplicate check, admission as running or waiting, and the lyric file.

#include <string>

#include "download/download_manager.h"
#include "download/song_service.h"
#include "platform/list_table.h"
#include "service/song_row.h"

namespace zarvex {

enum class StartOutcome {
  no_address,       // "哎呀，好像获取不到下载地址了~~"
  cannot_download,  // "当前选择歌曲无法下载，可能是QQ音乐服务器认证问题"
  empty_name,       // the naming rule gave no name
  exists,           // "当前任务已经存在"
  admit_failed,     // "哎呀呀，创建下载任务失败了"
  admitted,
};

struct StartResult {
  StartOutcome outcome = StartOutcome::no_address;
  int task = -1;          // the new task's number when admitted
  std::string path;       // the media file's path (GBK) once named
  std::string base_name;  // GBK
};

// Runs on its own thread per choice (or on the terminal client's thread). `song_row` is a copy
// of the row the user chose, taken when they chose it. Every outcome the user must see goes to
// the manager's Ui as a message.
StartResult start_song_download(DownloadManager& manager, SongService& service, int quality,
                                const ListRow& song_row);

}  // namespace zarvex

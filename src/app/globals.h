#pragma once
// The program's global objects and records, built once in this order when the program starts
// and living until it ends. Windows and workers reach them through one Globals object, which
// outlives every window and worker thread.

#include <atomic>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/list_table.h"
#include "session/session.h"
#include "settings/settings.h"
#include "update/update_notice.h"

namespace zarvex {

inline std::vector<std::string> gbk_titles(std::initializer_list<const char*> utf8_titles) {
  std::vector<std::string> titles;
  for (const char* title : utf8_titles)
    titles.push_back(gbk_from_utf8(title));
  return titles;
}

struct Globals {
  // `program_folder`: UTF-8, without trailing "/".
  explicit Globals(std::string program_folder) : settings(std::move(program_folder)) {}
  Globals(const Globals&) = delete;
  Globals& operator=(const Globals&) = delete;

  Session session;
  UpdateNoticeSlot update_notice;
  SettingsStore settings;

  // The lists of the main window.
  ListTable search_list{
      gbk_titles({"质量", "歌曲名", "歌手", "专辑", "mid", "size", "id", "meda_mid"})};
  ListTable playlist_song_list{
      gbk_titles({"质量", "歌曲名", "歌手", "专辑", "mid", "size", "id", "media_mid"})};
  ListTable download_list{gbk_titles({"编号", "文件名", "状态", "大小", "下载进度", "下载ID"})};
  ListTable finished_list{gbk_titles({"编号", "歌曲名", "文件大小", "文件格式", "是否有歌词"})};

  // 1 when the song pop-up was last opened from the search list, 2 from the playlist songs.
  std::atomic<int> song_source{0};
};

}  // namespace zarvex

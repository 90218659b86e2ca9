#pragma once
// The program's global objects and records, built once in this order when the program starts
// and living until it ends. Windows and workers reach them through one Globals object, which
// outlives every window and worker thread.

#include <atomic>
#include <memory>
#include <string>

#include "decoration/memory_library.h"
#include "download/download_manager.h"
#include "download/program_engine.h"
#include "platform/list_table.h"
#include "platform/ui_port.h"
#include "service/endpoints.h"
#include "service/playlists.h"
#include "service/song_row.h"
#include "session/session.h"
#include "update/update_notice.h"

namespace zarvex {

struct Globals {
  // `program_folder`: UTF-8, without trailing "/". `ui` shows what the download routines say
  // and must outlive this object.
  Globals(const std::string& program_folder, Ui& ui)
      : downloads(program_folder, std::make_unique<ProgramEngine>(), ui),
        endpoints(load_endpoints(program_folder)) {}
  Globals(const Globals&) = delete;
  Globals& operator=(const Globals&) = delete;

  // The download engine with the settings, the download and finished lists and the task
  // progress list it works with.
  DownloadManager downloads;
  // The skin library's loader; no skin library is carried, so it stays empty and the look is
  // the embedded style sheet alone.
  MemoryLibrary skin_library;
  Session session;
  UpdateNoticeSlot update_notice;
  PlaylistList playlists;
  // Where the outside services live (section "service" of the settings file).
  const Endpoints endpoints;

  // The song lists and the playlist box of the main window.
  ListTable search_list{search_list_columns()};
  ListTable playlist_song_list{playlist_song_columns()};
  ListTable playlist_box{{""}};

  // 1 when the song pop-up was last opened from the search list, 2 from the playlist songs.
  std::atomic<int> song_source{0};
};

}  // namespace zarvex

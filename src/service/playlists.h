#pragma once
// The playlists the signed-in user created, and the songs of one of them. The playlist-list
// worker replaces the shared list while playlist-songs workers read it, so the list lives in
// a PlaylistList that owns its lock and hands out copies only.

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/http.h"
#include "platform/list_table.h"
#include "platform/ui_port.h"
#include "service/endpoints.h"
#include "service/service_outcome.h"
#include "service/song_row.h"
#include "session/session.h"

namespace zarvex {

struct Playlist {
  std::string diss_name;  // the name shown (GBK)
  std::string tid;        // the playlist's identifier
};

class PlaylistList {
 public:
  void clear();
  void replace(std::vector<Playlist> playlists);
  std::vector<Playlist> snapshot() const;
  std::size_t size() const;

  // The playlist that the box item at `position` shows: the box lists the playlists in the
  // reverse order of the answer. nullopt when the list holds no playlist for that item.
  std::optional<Playlist> shown_at(int position) const;

  // Records the box position of the playlist whose songs were last loaded; 0 at start.
  void set_shown_position(int position);
  // Whether choosing the box item at `position` loads songs: only another item than the one
  // shown does.
  bool choice_loads_songs(int position) const;

 private:
  mutable std::mutex mutex_;
  std::vector<Playlist> playlists_;
  int shown_position_ = 0;
};

std::string playlist_list_address(const SessionRecord& session, const Endpoints& endpoints);
std::string playlist_songs_address(std::string_view tid, const SessionRecord& session,
                                   const Endpoints& endpoints);

// Asks for the user's playlists with the cookie text, which afterwards holds the answer's
// cookies merged in; appends them in the answer's order. True when the answer parsed.
bool fetch_playlists(const SessionRecord& session, std::string& cookie_text,
                     const Endpoints& endpoints, std::vector<Playlist>& playlists,
                     HttpOutcome* outcome = nullptr);

// Asks for the songs of playlist `tid`; puts the unwrapped answer on the clipboard; appends
// one row per song. True when the answer parsed.
bool fetch_playlist_songs(const SessionRecord& session, std::string_view tid,
                          const Endpoints& endpoints, std::vector<SongRow>& rows, Ui& ui,
                          HttpOutcome* outcome = nullptr);

// The click on the playlist-list button: disables it. The worker enables it again.
void begin_playlist_list(Ui& ui);

// The playlist-list worker. `session` is the snapshot taken when the user acted; the answer's
// cookies go into `cookie_owner` (when given) unless a new login replaced its cookie text
// meanwhile. `box` is the playlist box, one column of names, filled in reverse order with its
// first item selected.
ServiceOutcome playlist_list_worker(const SessionRecord& session, Session* cookie_owner,
                                    const Endpoints& endpoints, PlaylistList& playlists,
                                    ListTable& box, Ui& ui);

// The playlist-songs worker for the box item at `position`; replaces the song list's rows
// when the answer parsed.
ServiceOutcome playlist_songs_worker(const SessionRecord& session, const Endpoints& endpoints,
                                     PlaylistList& playlists, int position, ListTable& song_list,
                                     Ui& ui);

}  // namespace zarvex

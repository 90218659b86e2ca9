#pragma once
// The stand-in's music catalogue: songs with their identifiers, singers, albums, the qualities
// offered and lyrics, and the playlists every account sees. Built once, read-only afterwards,
// so request threads share it without locks. Texts are UTF-8, as the service sends them.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zarvex::standin {

enum class Quality { mp3_128 = 0, mp3_320 = 1, ape = 2, flac = 3 };
inline constexpr std::array<Quality, 4> all_qualities = {Quality::mp3_128, Quality::mp3_320,
                                                         Quality::ape, Quality::flac};

// Name of the media file of a quality, as the media host serves it: "M500<media_mid>.mp3" …
std::string media_file_name(Quality quality, std::string_view media_mid);

struct Named {
  std::int64_t id = 0;
  std::string mid;
  std::string name;
};

struct Song {
  std::int64_t id = 0;
  std::string mid;
  std::string media_mid;
  std::string title;
  std::vector<Named> singers;  // at least one
  Named album;
  int interval = 0;  // seconds
  // Bytes of each quality's media file (indexed by Quality), 0 when the quality is not offered.
  std::array<std::int64_t, 4> sizes{};
  std::string lyric;        // plain LRC text with "\n" line ends; empty when the song has none
  bool lyric_crlf = false;  // the service writes this song's line ends as CR LF

  std::int64_t size(Quality q) const { return sizes[static_cast<std::size_t>(q)]; }
};

struct Playlist {
  std::int64_t tid = 0;
  std::string name;
  std::vector<std::size_t> songs;  // positions in Catalogue::songs()
  std::int64_t listen_num = 0;
};

class Catalogue {
 public:
  // The shared catalogue; built on first use.
  static const Catalogue& instance();

  const std::vector<Song>& songs() const { return songs_; }
  const std::vector<Playlist>& playlists() const { return playlists_; }

  const Song* find_by_mid(std::string_view mid) const;
  const Song* find_by_id(std::int64_t id) const;
  const Playlist* find_playlist(std::int64_t tid) const;

  // Songs whose title, singer names or album name contain every blank-separated word of the
  // keyword (ASCII letters compared without case), in catalogue order. A keyword without words
  // matches nothing.
  std::vector<const Song*> search(std::string_view keyword) const;

 private:
  Catalogue();

  std::vector<Song> songs_;
  std::vector<Playlist> playlists_;
};

}  // namespace zarvex::standin

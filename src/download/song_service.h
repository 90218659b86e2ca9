#pragma once
// The music service calls a download start makes: the media address of a song, the size probe
// of that address and the song's lyrics. service_song_service.h puts the service client behind
// it; tests may put a local media host behind it.

#include <cstdint>
#include <string>

namespace zarvex {

class SongService {
 public:
  virtual ~SongService() = default;
  // The media address for quality 1..4 (empty when none can be built). `guid` is the 13-digit
  // time stamp made once per download.
  virtual std::string resolve_media_address(int quality, const std::string& mid,
                                            const std::string& guid,
                                            const std::string& media_mid) = 0;
  // Content-Length of a 200 answer (0 without one), -1 for any other answer or a failed
  // request, -2 when no request could be made.
  virtual std::int64_t probe_content_length(const std::string& address) = 0;
  // The lyrics text (GBK) of the song with that id; never empty.
  virtual std::string fetch_lyrics(const std::string& song_id) = 0;
};

}  // namespace zarvex

#include "download/service_song_service.h"

#include "net/http.h"
#include "service/lyrics.h"
#include "service/media_address.h"

namespace zarvex {

std::string ServiceSongService::resolve_media_address(int quality, const std::string& mid,
                                                      const std::string& guid,
                                                      const std::string& media_mid) {
  return zarvex::resolve_media_address(quality, mid, guid, session_, media_mid, endpoints_);
}

std::int64_t ServiceSongService::probe_content_length(const std::string& address) {
  return zarvex::probe_content_length(address, endpoints_.http);
}

std::string ServiceSongService::fetch_lyrics(const std::string& song_id) {
  return zarvex::fetch_lyrics(song_id, session_, endpoints_);
}

}  // namespace zarvex

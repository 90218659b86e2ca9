#pragma once
// The music service client behind a download start: endpoints from the settings file and the
// session as it was when the user chose the song.

#include "download/song_service.h"
#include "service/endpoints.h"
#include "session/session.h"

namespace zarvex {

class ServiceSongService : public SongService {
 public:
  ServiceSongService(Endpoints endpoints, SessionRecord session)
      : endpoints_(std::move(endpoints)), session_(std::move(session)) {}

  std::string resolve_media_address(int quality, const std::string& mid, const std::string& guid,
                                    const std::string& media_mid) override;
  std::int64_t probe_content_length(const std::string& address) override;
  std::string fetch_lyrics(const std::string& song_id) override;

 private:
  const Endpoints endpoints_;
  const SessionRecord session_;
};

}  // namespace zarvex

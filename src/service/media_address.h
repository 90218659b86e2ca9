#pragma once
// The address of a media file: a short-lived download key ("vkey") from the service, joined
// with the song's media mid and the chosen quality.

#include <string>
#include <string_view>

#include "net/http.h"
#include "service/endpoints.h"
#include "session/session.h"

namespace zarvex {

// The download-key request's address and its extra header block.
std::string vkey_address(const SessionRecord& session, std::string_view guid, std::string_view mid,
                         const Endpoints& endpoints);
std::string vkey_headers(const Endpoints& endpoints);

// The key between `,"vkey":"` and the next quotation mark of an answer; "" when absent.
std::string extract_vkey(std::string_view answer);

// Asks the service for the key of the song `mid`; "" when there is none.
std::string request_vkey(const SessionRecord& session, std::string_view guid, std::string_view mid,
                         const Endpoints& endpoints, HttpOutcome* outcome = nullptr);

// The media address for a quality (1 to 4); "" for any other quality. An empty key still
// gives a complete address.
std::string build_media_address(int quality, std::string_view media_mid, std::string_view vkey,
                                std::string_view guid, const SessionRecord& session,
                                const Endpoints& endpoints);

// request_vkey, then build_media_address with its key. `guid` is the download's 13-digit time
// stamp, the same in both requests.
std::string resolve_media_address(int quality, std::string_view mid, std::string_view guid,
                                  const SessionRecord& session, std::string_view media_mid,
                                  const Endpoints& endpoints, HttpOutcome* outcome = nullptr);

}  // namespace zarvex

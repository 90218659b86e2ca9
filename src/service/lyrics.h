#pragma once
// The lyrics of a song, as the text of its ".lrc" file.

#include <string>
#include <string_view>

#include "net/http.h"
#include "service/endpoints.h"
#include "session/session.h"

namespace zarvex {

std::string lyrics_address(std::string_view song_id, const SessionRecord& session,
                           const Endpoints& endpoints);

// Replaces the character references the service leaves in lyrics (":", line breaks, ".",
// blank, "-", "(", ")", "'", and "&" last, so "&" never starts a second decoding).
std::string decode_lyric_references(std::string_view lyric);

// The line appended to every lyrics text: CR LF and "[by:Zarvex <maker's site>]".
std::string lyrics_footer(const Endpoints& endpoints);

// The lyrics (GBK) of the song with `song_id`, decoded, with the footer; never empty: without
// an answer or without lyrics the footer alone.
std::string fetch_lyrics(std::string_view song_id, const SessionRecord& session,
                         const Endpoints& endpoints, HttpOutcome* outcome = nullptr);

}  // namespace zarvex

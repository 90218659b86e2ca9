#include "service/lyrics.h"

#include "json/json_document.h"
#include "service/service_answer.h"
#include "service/text_codecs.h"

namespace zarvex {

std::string lyrics_address(std::string_view song_id, const SessionRecord& session,
                           const Endpoints& endpoints) {
  // The lyrics interface takes the account number in its g_tk key, not the g_tk hash.
  std::string address =
      endpoints.api_https + "/lyric/fcgi-bin/fcg_query_lyric.fcg?nobase64=1&musicid=";
  address += song_id;
  address += "&callback=jsonp1&g_tk=";
  address += session.uin;
  address +=
      "&jsonpCallback=jsonp1&loginUin=0&hostUin=0&format=jsonp&inCharset=utf8&outCharset=utf-8"
      "&notice=0&platform=yqq&needNewCode=0";
  return address;
}

std::string decode_lyric_references(std::string_view lyric) {
  static constexpr std::string_view references[][2] = {
      {"&#58;", ":"}, {"&#10;", "\r\n"}, {"&#46;", "."}, {"&#32;", " "}, {"&#45;", "-"},
      {"&#13;", ""},  {"&#40;", "("},    {"&#41;", ")"}, {"&#39;", "'"}, {"&#38;", "&"},
  };
  std::string text(lyric);
  for (const auto& [reference, replacement] : references) {
    text = gbk_replace_all(text, reference, replacement);
  }
  return text;
}

std::string lyrics_footer(const Endpoints& endpoints) {
  return "\r\n[by:Zarvex " + endpoints.maker_site + "]";
}

std::string fetch_lyrics(std::string_view song_id, const SessionRecord& session,
                         const Endpoints& endpoints, HttpOutcome* outcome) {
  std::string body = fetch_with_cookies(lyrics_address(song_id, session, endpoints), nullptr,
                                        endpoints.http, outcome);
  // A document that did not parse completely still gives what it read; a missing member
  // gives the empty text, so such answers end in the footer alone.
  JsonDocument document;
  document.parse_text(answer_text(body, "jsonp1"));
  return decode_lyric_references(document.get_text("lyric")) + lyrics_footer(endpoints);
}

}  // namespace zarvex

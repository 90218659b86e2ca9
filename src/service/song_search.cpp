#include "service/song_search.h"

#include "json/json_document.h"
#include "platform/codepage.h"
#include "service/service_answer.h"
#include "service/text_codecs.h"

namespace zarvex {
namespace {

struct SearchTexts {
  std::string button = gbk_from_utf8("按钮_搜索");
  std::string not_signed_in = gbk_from_utf8("请点击头像登录后使用");
  std::string searching = gbk_from_utf8("正在搜索，请稍后");
  std::string done = gbk_from_utf8("搜索完毕");
};

const SearchTexts& texts() {
  static const SearchTexts t;
  return t;
}

constexpr SongField search_fields[] = {
    {"].title", &SongRow::title},
    {"].singer[0].name", &SongRow::singer},
    {"].album.name", &SongRow::album},
    {"].file.size_ape", &SongRow::size_ape},
    {"].file.size_flac", &SongRow::size_flac},
    {"].file.size_320", &SongRow::size_320},
    {"].file.size_128", &SongRow::size_128},
    {"].mid", &SongRow::mid},
    {"].file.media_mid", &SongRow::media_mid},
    {"].id", &SongRow::id},
};

}  // namespace

std::string search_address(std::string_view keyword, const Endpoints& endpoints) {
  return endpoints.api_https +
         "/soso/fcgi-bin/client_search_cp?ct=24&qqmusic_ver=1298&new_json=1"
         "&remoteplace=txt.yqq.center&t=0&aggr=1&cr=1&catZhida=1&lossless=0&flag_qc=0&p=1&n=40"
         "&w=" +
         url_encode(keyword) +
         "&&jsonpCallback=searchCallbacksong2020&format=jsonp&inCharset=utf8&outCharset=utf-8"
         "&notice=0&platform=yqq&needNewCode=0";
}

bool search_songs(std::string_view keyword, const Endpoints& endpoints, std::vector<SongRow>& rows,
                  HttpOutcome* outcome) {
  std::string body =
      fetch_with_cookies(search_address(keyword, endpoints), nullptr, endpoints.http, outcome);
  // The answer's function is named "searchCallbacksong2020", but only the length of the name
  // given here counts when the call is cut off.
  JsonDocument document;
  if (document.parse_text(answer_text(body, "callback")) != 0) return false;
  read_song_list(document, "data.song.list", search_fields, rows);
  return true;
}

bool begin_search(bool logged_in, Ui& ui) {
  if (!logged_in) {
    ui.message(texts().not_signed_in, {}, MessageIcon::none);
    return false;
  }
  ui.set_enabled(texts().button, false);
  ui.set_status_text(status_service, texts().searching);
  return true;
}

ServiceOutcome search_worker(const std::string& keyword, const Endpoints& endpoints,
                             ListTable& results, Ui& ui) {
  ServiceOutcome outcome;
  std::vector<SongRow> rows;
  outcome.parsed = search_songs(keyword, endpoints, rows, &outcome.http);
  if (outcome.parsed) fill_song_list(results, rows);
  ui.set_status_text(status_service, texts().done);
  ui.set_enabled(texts().button, true);
  return outcome;
}

}  // namespace zarvex

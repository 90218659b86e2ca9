#include "service/media_address.h"

#include "service/quality.h"
#include "service/text_codecs.h"

namespace zarvex {

std::string vkey_address(const SessionRecord& session, std::string_view guid, std::string_view mid,
                         const Endpoints& endpoints) {
  std::string address = endpoints.api_http;
  address += "/base/fcgi-bin/fcg_music_express_mobile3.fcg?g_tk=";
  address += session.g_tk;
  address += "&loginUin=";
  address += session.uin;
  address +=
      "&hostUin=0&format=json&inCharset=utf8&outCharset=utf-8&notice=0&platform=yqq"
      "&needNewCode=0&cid=205361747&uin=";
  address += session.uin;
  address += "&songmid=";
  address += mid;
  address += "&filename=C400";
  address += mid;
  address += ".m4a&guid=";
  address += guid;
  return address;
}

std::string vkey_headers(const Endpoints& endpoints) {
  return "User-Agent: Dalvik/2.1.0 (Linux; U; Android 5.1.1; vivo x5s l Build/LMY48Z)\r\n"
         "Referer: " +
         endpoints.site + "/portal/profile.html";
}

std::string extract_vkey(std::string_view answer) {
  return text_between(gbk_text(answer), ",\"vkey\":\"", "\"");
}

std::string request_vkey(const SessionRecord& session, std::string_view guid, std::string_view mid,
                         const Endpoints& endpoints, HttpOutcome* outcome) {
  std::string body = fetch_with_headers(vkey_address(session, guid, mid, endpoints),
                                        vkey_headers(endpoints), endpoints.http, outcome);
  return extract_vkey(body);
}

std::string build_media_address(int quality, std::string_view media_mid, std::string_view vkey,
                                std::string_view guid, const SessionRecord& session,
                                const Endpoints& endpoints) {
  const QualityInfo* info = quality_info(quality);
  if (info == nullptr) return {};
  std::string address = endpoints.media;
  address += "/";
  address += info->prefix;
  address += media_mid;
  address += info->address_extension;
  address += vkey;
  address += "&guid=";
  address += guid;
  address += "&uin=";
  address += session.uin;
  address += "&fromtag=64";
  return address;
}

std::string resolve_media_address(int quality, std::string_view mid, std::string_view guid,
                                  const SessionRecord& session, std::string_view media_mid,
                                  const Endpoints& endpoints, HttpOutcome* outcome) {
  std::string vkey = request_vkey(session, guid, mid, endpoints, outcome);
  return build_media_address(quality, media_mid, vkey, guid, session, endpoints);
}

}  // namespace zarvex

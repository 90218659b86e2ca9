#pragma once
// Service answers of a chosen number of songs, shaped like the real ones: every field the
// service sends (most of which the client never reads), Chinese titles and names, numbers,
// nested objects and the odd escape. Returned as GBK text with the JSONP call removed, the
// form the client parses.

#include <string>

#include "platform/codepage.h"

namespace zarvex::bench {

// The search answer: data.song.list[i] with title, singer[], album, file sizes, ids.
inline std::string search_answer_gbk(int songs) {
  std::string json =
      R"({"code":0,"data":{"keyword":"周杰伦","priority":0,"qc":[],"semantic":{"curnum":0,)"
      R"("curpage":1,"list":[],"totalnum":0},"song":{"curnum":)" +
      std::to_string(songs) + R"(,"curpage":1,"list":[)";
  for (int i = 0; i < songs; ++i) {
    const std::string n = std::to_string(i);
    if (i > 0) json += ',';
    json +=
        R"({"action":{"alert":11,"icons":8527740,"msg":0,"switch":636675},)"
        R"("album":{"id":)" +
        std::to_string(10000 + i) + R"(,"mid":"000MkMni19ClKG)" + n + R"(","name":"叶惠美 第)" + n +
        R"(辑","pmid":"000MkMni19ClKG_1","subtitle":"",)"
        R"("time_public":"2003-07-31","title":"叶惠美"},"bpm":0,"content":"","desc":"",)"
        R"("docid":"1234567890123)" +
        n +
        R"(","eq":1,"es":"","file":{"b_30s":0,"e_30s":60000,)"
        R"("hires_bitdepth":0,"hires_sample":0,"media_mid":"002BWGZQ2UKjKn)" +
        n +
        R"(","size_128":4319156,"size_128mp3":4319156,"size_192aac":6527000,)"
        R"("size_192ogg":6005484,"size_24aac":0,"size_320":)" +
        (i % 5 == 0 ? std::string("0") : "1079760" + n) +
        R"(,"size_320mp3":10797603,"size_48aac":1634000,"size_96aac":3290000,)"
        R"("size_96ogg":3061000,"size_ape":)" +
        (i % 3 == 0 ? std::string("0") : "2846261" + n) + R"(,"size_dts":0,"size_flac":)" +
        (i % 4 == 0 ? std::string("0") : "2906440" + n) +
        R"(,"size_hires":0,"size_try":0,"try_begin":0,"try_end":0,"url":""},)"
        R"("fnote":4009,"genre":1,"grp":[],"href3":"","id":9777)" +
        n +
        R"(,"index_album":4,"index_cd":0,"interval":269,"isonly":0,"ksong":{"id":23413,)"
        R"("mid":"001Qt2jQ0FSbMm"},"label":"4611686018431582208","language":0,)"
        R"("lyric":"晴天 \"故事的小黄花\" 从出生那年就飘着","mid":"0039MnYb0qxYhV)" +
        n +
        R"(","mv":{"id":1540,"name":"","title":"","vid":"m0013z3u8dv","vt":0},)"
        R"("name":"晴天","newStatus":2,"ov":0,"pay":{"pay_down":1,"pay_month":1,)"
        R"("pay_play":0,"pay_status":0,"price_album":0,"price_track":200,"time_free":0},)"
        R"("sa":0,"singer":[{"id":4558,"mid":"0025NhlN2yWrP4","name":"周杰伦",)"
        R"("pmid":"","title":"周杰伦","type":0,"uin":0},{"id":)" +
        n + R"(,"mid":"0000000000000)" + n + R"(","name":"合唱者)" + n +
        R"(","pmid":"","title":"","type":0,"uin":0}],"status":0,"subtitle":"",)"
        R"("tid":0,"time_public":"2003-07-31","title":"晴天 第)" +
        n + R"(首","title_hilight":"晴天","type":0,"url":"http:\/\/y.qq.com\/#type=song&id=)" + n +
        R"(","version":0,"volume":{"gain":-7.512,"lra":9.131,"peak":0.996},)"
        R"("vs":["",""],"vi":[0,0,0]})";
  }
  json += R"(],"totalnum":600},"tab":0,"taglist":[],"totaltime":0,"zhida":{"chinesesinger":0,)"
          R"("type":0}},"message":"","notice":"","subcode":0,"time":1700000000,"tips":""})";
  return gbk_from_utf8(json);
}

// The songs of a playlist: cdlist[0].songlist[i] with songname, singer[], albumname,
// sizes, songmid, songid, strMediaMid.
inline std::string playlist_answer_gbk(int songs) {
  std::string json =
      R"({"code":0,"subcode":0,"accessed_plaza_cache":1,"accessed_favbase":0,"login":"",)"
      R"("cdnum":1,"cdlist":[{"disstid":"7256912512","dir_show":1,"owndir":0,"dirid":201,)"
      R"("coveradurl":"","dissid":7256912512,"login":"","uin":"10001","encrypt_uin":"oK6kowEAo",)"
      R"("dissname":"我喜欢的音乐","logo":"http:\/\/qpic.y.qq.com\/music_cover\/x\/300",)"
      R"("pic_mid":"","album_pic_mid":"","pic_dpi":0,"isAd":0,"desc":"\u6536\u85cf",)"
      R"("ctime":1500000000,"mtime":1700000000,"headurl":"","ifpicurl":"","nick":"听歌的人",)"
      R"("nickname":"听歌的人","type":0,"singerid":0,"singermid":"","isvip":0,"isdj":0,)"
      R"("tags":[{"id":1,"name":"流行","pid":0}],"songnum":)" +
      std::to_string(songs) + R"(,"songlist":[)";
  for (int i = 0; i < songs; ++i) {
    const std::string n = std::to_string(i);
    if (i > 0) json += ',';
    json += R"({"albumdesc":"","albumid":)" + std::to_string(10000 + i) +
            R"(,"albummid":"000MkMni19ClKG)" + n + R"(","albumname":"范特西 第)" + n +
            R"(辑","alertid":2,"belongCD":0,"cdIdx":0,)"
            R"("interval":)" +
            std::to_string(180 + i % 120) +
            R"(,"isonly":0,"label":"4611686018431582208","msgid":13,)"
            R"("pay":{"payalbum":0,"payalbumprice":0,"paydownload":1,"payinfo":1,"payplay":0,)"
            R"("paytrackmouth":1,"paytrackprice":200,"timefree":0},)"
            R"("preview":{"trybegin":0,"tryend":0,"trysize":0},"rate":31,)"
            R"("singer":[{"id":4558,"mid":"0025NhlN2yWrP4","name":"周杰伦"}],)"
            R"("size128":4319156,"size320":)" +
            (i % 5 == 0 ? std::string("0") : "1079760" + n) + R"(,"size5_1":0,"sizeape":)" +
            (i % 3 == 0 ? std::string("0") : "2846261" + n) + R"(,"sizeflac":)" +
            (i % 4 == 0 ? std::string("0") : "2906440" + n) +
            R"(,"sizeogg":6005484,"songid":9777)" + n + R"(,"songmid":"0039MnYb0qxYhV)" + n +
            R"(","songname":"双截棍 \"第)" + n +
            R"(版\"","songorig":"双截棍","songtype":0,)"
            R"("strMediaMid":"002BWGZQ2UKjKn)" +
            n + R"(","stream":13,"switch":636675,"type":0,"vid":"u00222le4ox"})";
  }
  json += R"(],"total_song_num":)" + std::to_string(songs) + R"(,"song_begin":0,"cur_song_num":)" +
          std::to_string(songs) + R"(}],"realcdnum":1})";
  return gbk_from_utf8(json);
}

}  // namespace zarvex::bench

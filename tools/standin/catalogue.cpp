#include "catalogue.h"

#include <algorithm>
#include <cstdio>

#include "ascii_text.h"
#include "media_host.h"

namespace zarvex::standin {

namespace {

enum class Lang { zh, ja, en, es };

struct SingerSeed {
  const char* name;
  Lang lang;
};

// Lyric styles of a song seed.
constexpr int kNoLyric = 0;
constexpr int kLf = 1;
constexpr int kCrLf = 2;

struct SongSeed {
  const char* title;
  int singer;
  int second_singer;  // -1: none
  int album;
  const char* qualities;  // digits 1..4: 128 kbit/s, 320 kbit/s, APE, FLAC
  int lyric;
  const char* extra_line;  // appended to the lyrics, or nullptr
};

const SingerSeed kSingers[] = {
    {"林晓雨", Lang::zh},      {"陈默", Lang::zh},          {"周一鸣", Lang::zh},
    {"星野遥", Lang::ja},      {"さくらミナ", Lang::ja},    {"The Paper Lanterns", Lang::en},
    {"Aurora Vale", Lang::en}, {"Los Girasoles", Lang::es},
};

const char* const kAlbums[] = {
    "雨后的城市",        "纸飞机",       "南方的风",     "破晓",
    "夏の終わりに",      "青い光",       "さくら通り",   "Midnight Harbor",
    "Small Hours Vol.2", "Glass Garden", "Sol y Sombra", "合作单曲 Collaborations",
};

// Every quality pattern occurs, and a few songs offer no quality at all.
const SongSeed kSongs[] = {
    {"雨后的城市", 0, -1, 0, "1234", kLf, nullptr},
    {"街角咖啡店", 0, -1, 0, "12", kLf, nullptr},
    {"霓虹与星光", 0, -1, 0, "124", kCrLf, nullptr},
    {"慢慢走", 0, -1, 0, "123", kLf, nullptr},
    {"最后一班地铁", 0, -1, 0, "1", kLf, nullptr},
    {"窗台上的猫", 0, -1, 0, "1234", kCrLf, nullptr},
    {"雨后的城市 (Live)", 0, -1, 0, "12", kLf, nullptr},
    {"纸飞机", 0, -1, 1, "1234", kLf, nullptr},
    {"夏天的信", 0, -1, 1, "12", kCrLf, nullptr},
    {"风筝线", 0, -1, 1, "124", kLf, nullptr},
    {"蓝色气球", 0, -1, 1, "1", kNoLyric, nullptr},
    {"晚安月亮", 0, -1, 1, "1234", kLf, nullptr},
    {"南方的风", 1, -1, 2, "1234", kLf, nullptr},
    {"老街", 1, -1, 2, "12", kLf, nullptr},
    {"稻田", 1, -1, 2, "124", kNoLyric, nullptr},
    {"渡口", 1, -1, 2, "123", kCrLf, nullptr},
    {"外婆的歌", 1, -1, 2, "12", kLf, nullptr},
    {"远行", 1, -1, 2, "234", kLf, nullptr},
    {"破晓", 2, -1, 3, "1234", kCrLf, nullptr},
    {"燃烧吧", 2, -1, 3, "12", kLf, nullptr},
    {"钢铁之心", 2, -1, 3, "124", kLf, nullptr},
    {"无人区", 2, -1, 3, "", kLf, nullptr},
    {"天亮以前", 2, -1, 3, "1", kLf, nullptr},
    {"呐喊", 2, -1, 3, "123", kCrLf, nullptr},
    {"夏の終わりに", 3, -1, 4, "1234", kLf, nullptr},
    {"花火の夜", 3, -1, 4, "12", kLf, nullptr},
    {"君の名前を呼ぶ", 3, -1, 4, "124", kCrLf, nullptr},
    {"遠い海", 3, -1, 4, "1", kLf, nullptr},
    {"青空カレンダー", 3, -1, 4, "12", kLf, nullptr},
    {"青い光", 3, -1, 5, "1234", kLf, nullptr},
    {"星屑のメロディー", 3, -1, 5, "123", kCrLf, nullptr},
    {"ひとりぼっちの朝", 3, -1, 5, "12", kLf, nullptr},
    {"約束の場所", 3, -1, 5, "2", kLf, nullptr},
    {"さくら通り", 4, -1, 6, "1234", kLf, nullptr},
    {"桜の雨", 4, -1, 6, "124", kLf, nullptr},
    {"月曜日のうた", 4, -1, 6, "12", kCrLf, nullptr},
    {"ありがとう", 4, -1, 6, "1", kLf, nullptr},
    {"帰り道", 4, -1, 6, "", kNoLyric, nullptr},
    {"Midnight Harbor", 5, -1, 7, "1234", kLf, nullptr},
    {"Lanterns in the Fog", 5, -1, 7, "12", kLf, nullptr},
    {"Paper Boats", 5, -1, 7, "124", kCrLf, nullptr},
    {"Salt and Rust", 5, -1, 7, "123", kLf, nullptr},
    {"Lighthouse Keeper", 5, -1, 7, "1", kNoLyric, nullptr},
    {"Drifting", 5, -1, 7, "12", kNoLyric, nullptr},
    {"Small Hours", 5, -1, 8, "1234", kLf, nullptr},
    {"Why?/Why Not", 5, -1, 8, "12", kLf, nullptr},
    {"Say \"Yes\"", 5, -1, 8, "124", kCrLf, nullptr},
    {"Rock & Roll Heart", 5, -1, 8, "123", kLf, nullptr},
    {"3 A.M.", 5, -1, 8, "12", kLf, "The sign said &#58; and nothing more"},
    {"Glass Garden", 6, -1, 9, "1234", kLf, nullptr},
    {"Northern Lights", 6, -1, 9, "124", kCrLf, nullptr},
    {"Velvet Sky", 6, -1, 9, "12", kLf, nullptr},
    {"Paper Moon", 6, -1, 9, "1", kLf, nullptr},
    {"Echoes", 6, -1, 9, "", kLf, nullptr},
    {"Golden Hour", 6, -1, 9, "1234", kLf, nullptr},
    {"Mañana Azul", 7, -1, 10, "1234", kLf, nullptr},
    {"Corazón de Papel", 7, -1, 10, "12", kCrLf, nullptr},
    {"Baila Conmigo", 7, -1, 10, "124", kLf, nullptr},
    {"Noche de Luna", 7, -1, 10, "1", kLf, nullptr},
    {"Girasol 🌻", 7, -1, 10, "12", kLf, nullptr},
    {"雨の中で 在雨中", 3, 0, 11, "1234", kLf, nullptr},
    {"Bridge 桥", 5, 1, 11, "12", kCrLf, nullptr},
    {"Spring Song 春のうた", 6, 4, 11, "124", kLf, nullptr},
    {"火焰 Fuego", 2, 7, 11, "123", kLf, nullptr},
};

const char* const kLinesZh[] = {
    "雨停了 街灯一盏一盏亮起", "我把想念折成纸飞机", "风从南方吹过老街", "你说明天会更好",
    "我们在路口说再见",        "心里的话 还没说完",  "月光落在窗台上",   "慢慢走 不要回头看",
};
const char* const kLinesJa[] = {
    "夏の風が頬をなでる", "君の声が聞こえた", "青い空に手を伸ばして",
    "ひとりじゃないよ",   "約束を忘れないで", "星が流れる夜に",
};
const char* const kLinesEn[] = {
    "Don't let the lanterns fade (oh-oh)", "We sail at 3 a.m. - no map, no name",
    "Salt & rust on the harbor wall",      "I'll be fine: just hold the light",
    "It's only the echo of you",           "Say it once more... say it slow",
};
const char* const kLinesEs[] = {
    "Baila conmigo bajo la luna",
    "El sol se esconde - y tú también",
    "Corazón de papel (no llores)",
    "Mañana será azul",
};

constexpr std::int64_t kFirstSongId = 201000001;
constexpr std::int64_t kFirstEtudeId = 209000001;
constexpr int kEtudeCount = 1000;
const char* const kEtudeQualities[] = {"1234", "12", "124", "1", "123", "2", ""};

std::uint64_t mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

// An identifier shaped like the service's: "00" and twelve letters or digits.
std::string make_mid(std::uint64_t seed) {
  static const char alphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  std::string mid = "00";
  std::uint64_t h = mix(seed);
  for (int i = 0; i < 12; ++i) {
    if (i == 6) h = mix(h);
    mid += alphabet[h % 62];
    h /= 62;
  }
  return mid;
}

std::string timestamp(int centiseconds) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "[%02d:%02d.%02d]", centiseconds / 6000, centiseconds / 100 % 60,
                centiseconds % 100);
  return buf;
}

template <std::size_t N>
std::vector<std::string> pick_lines(const char* const (&pool)[N], std::size_t start,
                                    std::size_t count) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < count; ++i)
    lines.emplace_back(pool[(start + i) % N]);
  return lines;
}

std::string make_lyric(const Song& song, const std::vector<std::string>& body) {
  std::string lrc;
  lrc += "[ti:" + song.title + "]\n";
  lrc += "[ar:" + song.singers.front().name + "]\n";
  lrc += "[al:" + song.album.name + "]\n";
  lrc += "[by:]\n[offset:0]\n";
  lrc += timestamp(0) + song.title + " - " + song.singers.front().name + "\n";
  int t = 1250 + static_cast<int>(song.id % 7) * 37;
  for (const auto& line : body) {
    lrc += timestamp(t) + line + "\n";
    t += 437 + static_cast<int>(line.size()) * 3;
  }
  return lrc;
}

void set_sizes(Song& song, std::string_view qualities) {
  for (Quality q : all_qualities) {
    const char digit = static_cast<char>('1' + static_cast<int>(q));
    if (qualities.find(digit) == std::string_view::npos) continue;
    const std::int64_t size = media_file_size(media_file_name(q, song.media_mid));
    song.sizes[static_cast<std::size_t>(q)] = size > 0 ? size : 0;
  }
}

}  // namespace

std::string media_file_name(Quality quality, std::string_view media_mid) {
  switch (quality) {
    case Quality::mp3_128:
      return "M500" + std::string(media_mid) + ".mp3";
    case Quality::mp3_320:
      return "M800" + std::string(media_mid) + ".mp3";
    case Quality::ape:
      return "A000" + std::string(media_mid) + ".ape";
    case Quality::flac:
      return "F000" + std::string(media_mid) + ".flac";
  }
  return {};
}

const Catalogue& Catalogue::instance() {
  static const Catalogue catalogue;
  return catalogue;
}

Catalogue::Catalogue() {
  std::vector<Lang> langs;
  std::size_t index = 0;
  for (const SongSeed& seed : kSongs) {
    Song song;
    song.id = kFirstSongId + static_cast<std::int64_t>(index);
    song.mid = make_mid(static_cast<std::uint64_t>(song.id));
    // Some songs keep their media under another identifier than the song's own.
    song.media_mid =
        index % 5 == 3 ? make_mid(static_cast<std::uint64_t>(song.id) * 31 + 7) : song.mid;
    song.title = seed.title;
    for (int s : {seed.singer, seed.second_singer}) {
      if (s < 0) continue;
      const auto id = static_cast<std::int64_t>(5000 + s);
      song.singers.push_back(
          {id, make_mid(static_cast<std::uint64_t>(id) * 977), kSingers[s].name});
    }
    const auto album_id = static_cast<std::int64_t>(80000 + seed.album);
    song.album = {album_id, make_mid(static_cast<std::uint64_t>(album_id) * 1031),
                  kAlbums[seed.album]};
    song.interval = 150 + static_cast<int>(mix(static_cast<std::uint64_t>(song.id)) % 150);
    set_sizes(song, seed.qualities);
    const Lang lang = kSingers[seed.singer].lang;
    if (seed.lyric != kNoLyric) {
      std::vector<std::string> body;
      switch (lang) {
        case Lang::zh:
          body = pick_lines(kLinesZh, index * 3, 6);
          break;
        case Lang::ja:
          body = pick_lines(kLinesJa, index * 2, 5);
          break;
        case Lang::en:
          body = pick_lines(kLinesEn, index * 2, 5);
          break;
        case Lang::es:
          body = pick_lines(kLinesEs, index, 4);
          break;
      }
      if (seed.extra_line) body.emplace_back(seed.extra_line);
      song.lyric = make_lyric(song, body);
      song.lyric_crlf = seed.lyric == kCrLf;
    }
    songs_.push_back(std::move(song));
    langs.push_back(lang);
    ++index;
  }
  const std::size_t hand_made = songs_.size();

  // A long series of études, enough for a playlist of a thousand songs and for paging.
  for (int k = 0; k < kEtudeCount; ++k) {
    Song song;
    song.id = kFirstEtudeId + k;
    song.mid = make_mid(static_cast<std::uint64_t>(song.id));
    song.media_mid = song.mid;
    char title[64];
    std::snprintf(title, sizeof title, "练习曲 No.%04d", k + 1);
    song.title = title;
    song.singers.push_back({5100, make_mid(5100 * 977), "千曲乐团"});
    const int volume = k / 100 + 1;
    char album[64];
    std::snprintf(album, sizeof album, "千曲集 Vol.%02d", volume);
    song.album = {81000 + volume, make_mid(static_cast<std::uint64_t>(81000 + volume) * 1031),
                  album};
    song.interval = 60 + k % 120;
    set_sizes(song, kEtudeQualities[k % std::size(kEtudeQualities)]);
    if (k % 3 == 0) {
      song.lyric = make_lyric(song, {"第一乐章 - Allegro", "第二乐章 - Adagio (慢板)"});
      song.lyric_crlf = k % 2 == 0;
    }
    songs_.push_back(std::move(song));
  }

  auto add_playlist = [this](std::int64_t tid, const char* name, std::vector<std::size_t> songs) {
    Playlist p;
    p.tid = tid;
    p.name = name;
    p.songs = std::move(songs);
    p.listen_num = static_cast<std::int64_t>(mix(static_cast<std::uint64_t>(tid)) % 100000);
    playlists_.push_back(std::move(p));
  };
  auto hand_songs_where = [&](auto&& keep) {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < hand_made; ++i) {
      if (keep(i)) out.push_back(i);
    }
    return out;
  };
  auto offers_any = [this](std::size_t i) {
    const auto& s = songs_[i].sizes;
    return std::any_of(s.begin(), s.end(), [](std::int64_t v) { return v > 0; });
  };

  add_playlist(7100000001, "我的最爱", {0, 7, 12, 18, 24, 29, 33, 38, 44, 49, 55, 60, 2, 45, 34});
  add_playlist(7100000002, "日系 J-Pop",
               hand_songs_where([&](std::size_t i) { return langs[i] == Lang::ja; }));
  add_playlist(7100000003, "Late Night Drive",
               hand_songs_where([&](std::size_t i) { return langs[i] == Lang::en; }));
  add_playlist(7100000004, "无损收藏 Lossless", hand_songs_where([this](std::size_t i) {
                 return songs_[i].size(Quality::ape) > 0 || songs_[i].size(Quality::flac) > 0;
               }));
  std::vector<std::size_t> etudes;
  for (std::size_t i = hand_made; i < songs_.size(); ++i)
    etudes.push_back(i);
  add_playlist(7100000005, "一千首练习曲", std::move(etudes));
  add_playlist(7100000006, "暂不可下载",
               hand_songs_where([&](std::size_t i) { return !offers_any(i); }));
  add_playlist(7100000007, "空歌单", {});
}

const Song* Catalogue::find_by_mid(std::string_view mid) const {
  for (const Song& s : songs_) {
    if (s.mid == mid) return &s;
  }
  return nullptr;
}

const Song* Catalogue::find_by_id(std::int64_t id) const {
  for (const Song& s : songs_) {
    if (s.id == id) return &s;
  }
  return nullptr;
}

const Playlist* Catalogue::find_playlist(std::int64_t tid) const {
  for (const Playlist& p : playlists_) {
    if (p.tid == tid) return &p;
  }
  return nullptr;
}

std::vector<const Song*> Catalogue::search(std::string_view keyword) const {
  std::vector<std::string> words;
  const std::string lowered = ascii_lower(keyword);
  std::size_t pos = 0;
  while (pos < lowered.size()) {
    const std::size_t start = lowered.find_first_not_of(" \t\r\n", pos);
    if (start == std::string::npos) break;
    std::size_t end = lowered.find_first_of(" \t\r\n", start);
    if (end == std::string::npos) end = lowered.size();
    words.push_back(lowered.substr(start, end - start));
    pos = end;
  }
  std::vector<const Song*> found;
  if (words.empty()) return found;
  for (const Song& s : songs_) {
    std::string haystack = s.title + '\n' + s.album.name;
    for (const auto& singer : s.singers)
      haystack += '\n' + singer.name;
    haystack = ascii_lower(haystack);
    const bool all = std::all_of(words.begin(), words.end(), [&](const std::string& w) {
      return haystack.find(w) != std::string::npos;
    });
    if (all) found.push_back(&s);
  }
  return found;
}

}  // namespace zarvex::standin

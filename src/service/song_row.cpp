#include "service/song_row.h"

#include "platform/codepage.h"
#include "service/text_codecs.h"

namespace zarvex {
namespace {

std::vector<std::string> columns(const char* last_caption) {
  static const std::vector<std::string> head = {gbk_from_utf8("质量"),
                                                gbk_from_utf8("歌曲名"),
                                                gbk_from_utf8("歌手"),
                                                gbk_from_utf8("专辑"),
                                                "mid",
                                                "size",
                                                "id"};
  std::vector<std::string> all = head;
  all.push_back(last_caption);
  return all;
}

bool present(const std::string& size) {
  return size != "0";
}

}  // namespace

std::vector<std::string> search_list_columns() {
  return columns("meda_mid");
}
std::vector<std::string> playlist_song_columns() {
  return columns("media_mid");
}
std::vector<int> song_list_widths() {
  return {50, 150, 120, 130, 0, 0, 0, 0};
}

void derive_quality_flags(SongRow& row) {
  row.has_ape = present(row.size_ape);
  row.has_flac = present(row.size_flac);
  row.has_320 = present(row.size_320);
}

int quality_mark(const SongRow& row) {
  if (row.has_ape || row.has_flac) return song_mark_sq;
  if (row.has_320) return song_mark_hq;
  return song_mark_none;
}

std::string quality_tags(const SongRow& row) {
  std::string tags;
  if (present(row.size_128)) tags += "128mp3";
  if (present(row.size_320)) tags += "320mp3";
  if (present(row.size_ape)) tags += "ape";
  if (present(row.size_flac)) tags += "flac";
  return tags;
}

void fill_song_list(ListTable& list, const std::vector<SongRow>& rows) {
  list.clear();
  list.edit([&rows](std::vector<ListRow>& table) {
    for (const SongRow& song : rows) {
      ListRow row;
      row.image = quality_mark(song);
      row.cells.resize(8);
      row.cells[song_column_title] = clean_row_text(song.title);
      row.cells[song_column_singer] = clean_row_text(song.singer);
      row.cells[song_column_album] = clean_row_text(song.album);
      row.cells[song_column_mid] = clean_row_text(song.mid);
      row.cells[song_column_tags] = quality_tags(song);
      row.cells[song_column_id] = clean_row_text(song.id);
      row.cells[song_column_media_mid] = clean_row_text(song.media_mid);
      table.push_back(std::move(row));
    }
  });
}

}  // namespace zarvex

#pragma once
// One song of a search or playlist answer, and the two song lists that show such rows: the
// search results and the songs of a playlist share one column layout whose hidden columns
// carry the identifiers and quality tags that the download reads back from the selected row.

#include <string>
#include <vector>

#include "platform/list_table.h"

namespace zarvex {

struct SongRow {
  std::string title;
  std::string mid;        // used by the download-key request
  std::string media_mid;  // used in the media address
  std::string id;         // numeric song id, used by the lyrics request
  std::string singer;     // the first singer
  std::string album;
  bool has_ape = false;  // size_ape is not "0" (an empty or missing size counts as present)
  bool has_flac = false;
  bool has_320 = false;
  std::string size_ape;
  std::string size_flac;
  std::string size_320;
  std::string size_128;  // empty for playlist songs: their answers carry no such size
};

// Columns of both song lists.
enum SongColumn : std::size_t {
  song_column_quality = 0,  // no text; the quality mark image
  song_column_title = 1,
  song_column_singer = 2,
  song_column_album = 3,
  song_column_mid = 4,        // hidden
  song_column_tags = 5,       // hidden: the quality tag text
  song_column_id = 6,         // hidden
  song_column_media_mid = 7,  // hidden
};

// Images of the song lists' image set.
enum SongMark : int { song_mark_none = -1, song_mark_hq = 0, song_mark_sq = 1 };

// The captions (GBK) of the search list and of the playlist song list; they differ only in
// the last hidden column's caption.
std::vector<std::string> search_list_columns();
std::vector<std::string> playlist_song_columns();
// Widths in pixels of both lists' columns; 0 for a hidden column.
std::vector<int> song_list_widths();

// Sets has_ape, has_flac and has_320 from the size texts.
void derive_quality_flags(SongRow& row);

// The mark a row shows: SQ for APE or FLAC, else HQ for 320 kbit/s, else none.
int quality_mark(const SongRow& row);

// "128mp3", "320mp3", "ape", "flac" for each size that is not "0", in this order, unseparated.
std::string quality_tags(const SongRow& row);

// Replaces the list's rows by one row per record, in order; texts cleaned for the list.
void fill_song_list(ListTable& list, const std::vector<SongRow>& rows);

}  // namespace zarvex

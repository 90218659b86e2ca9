#include <gtest/gtest.h>

#include "platform/list_table.h"
#include "service/quality.h"
#include "service/song_row.h"

namespace zarvex {
namespace {

SongRow song(const char* ape, const char* flac, const char* s320, const char* s128) {
  SongRow row;
  row.title = "T";
  row.size_ape = ape;
  row.size_flac = flac;
  row.size_320 = s320;
  row.size_128 = s128;
  derive_quality_flags(row);
  return row;
}

TEST(SongList, MarkAndTagsFollowTheSizes) {
  struct Case {
    SongRow row;
    int mark;
    const char* tags;
  } cases[] = {
      {song("0", "0", "0", "0"), song_mark_none, ""},
      {song("0", "0", "9", "4"), song_mark_hq, "128mp3320mp3"},
      {song("0", "30", "9", "4"), song_mark_sq, "128mp3320mp3flac"},
      {song("50", "0", "0", "0"), song_mark_sq, "ape"},
      {song("50", "30", "9", "4"), song_mark_sq, "128mp3320mp3apeflac"},
      // A size the answer did not carry counts as present; so does a playlist song's 128.
      {song("", "", "", ""), song_mark_sq, "128mp3320mp3apeflac"},
      {song("0", "0", "9", ""), song_mark_hq, "128mp3320mp3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tags);
    EXPECT_EQ(quality_mark(c.row), c.mark);
    EXPECT_EQ(quality_tags(c.row), c.tags);
  }
}

TEST(SongList, FillReplacesTheRowsWithCleanedColumns) {
  ListTable list(search_list_columns());
  list.add_row({"", "old"}, 0);
  list.set_selected(0);

  SongRow a = song("0", "0", "9", "4");
  a.title = "AC/DC & Co. ?";
  a.singer = "\xD6\xDC.\xBD\xDC\xC2\xD7";  // a name with a dot between GBK characters
  a.album = "Back/In.Black";
  a.mid = "001a.b";
  a.id = "123";
  a.media_mid = "m/m";
  SongRow b = song("1", "0", "0", "0");
  b.title = "Second";
  fill_song_list(list, {a, b});

  ASSERT_EQ(list.row_count(), 2u);
  EXPECT_EQ(list.selected(), -1);
  const std::vector<std::string> first = {"",
                                          "AC-DC  Co \xA3\xBF",
                                          "\xD6\xDC\xBD\xDC\xC2\xD7",
                                          "Back-InBlack",
                                          "001ab",
                                          "128mp3320mp3",
                                          "123",
                                          "m-m"};
  EXPECT_EQ(list.row(0).cells, first);
  EXPECT_EQ(list.image(0), song_mark_hq);
  EXPECT_EQ(list.cell(1, song_column_title), "Second");
  EXPECT_EQ(list.cell(1, song_column_tags), "ape");
  EXPECT_EQ(list.image(1), song_mark_sq);

  fill_song_list(list, {});
  EXPECT_EQ(list.row_count(), 0u);
}

TEST(SongList, QualityIsAvailableOnlyWhenTheSelectedRowCarriesItsTag) {
  ListTable list(playlist_song_columns());
  fill_song_list(list, {song("0", "0", "9", "4"), song("0", "30", "0", "")});
  struct Case {
    int selected;
    int quality;
    bool available;
  } cases[] = {
      {0, 1, true}, {0, 2, true},  {0, 3, false},  {0, 4, false},  {1, 1, true},  {1, 2, false},
      {1, 4, true}, {1, 3, false}, {-1, 3, false}, {-1, 1, false}, {0, 0, false}, {0, 5, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << c.selected << " quality " << c.quality);
    list.set_selected(c.selected);
    EXPECT_EQ(quality_available(c.quality, list), c.available);
  }
}

}  // namespace
}  // namespace zarvex

#pragma once
// The four download qualities: 1 128 kbit/s MP3, 2 320 kbit/s MP3, 3 APE, 4 FLAC.

#include <string_view>

#include "platform/list_table.h"
#include "platform/ui_port.h"

namespace zarvex {

struct QualityInfo {
  int number;
  std::string_view prefix;             // of the media file name in its address
  std::string_view address_extension;  // up to the vkey's "=" in the media address
  std::string_view file_extension;     // of the saved file
  std::string_view tag;                // in a song row's quality tag text
};

// nullptr for a number outside 1 to 4.
const QualityInfo* quality_info(int quality);

// Whether the selected row of a song list offers the quality: its tag text (column 5) holds
// the quality's tag. False without a selected row or for an unknown quality.
bool quality_available(int quality, const ListTable& song_list);

// quality_available for the user's choice of a quality: when the selected row lacks it, shows
// the box "你要下载的音乐没有你选择的格式哟，请选择其他格式下载" (caption "提示") and returns
// false.
bool offer_quality(int quality, const ListTable& list, Ui& ui);

}  // namespace zarvex

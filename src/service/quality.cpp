#include "service/quality.h"

#include "platform/codepage.h"
#include "service/song_row.h"
#include "service/text_gbk.h"

namespace zarvex {
namespace {

constexpr QualityInfo qualities[] = {
    {1, "M500", ".mp3?vkey=", ".mp3", "128mp3"},
    {2, "M800", ".mp3?vkey=", ".mp3", "320mp3"},
    {3, "A000", ".ape?vkey=", ".ape", "ape"},
    {4, "F000", ".flac?vkey=", ".flac", "flac"},
};

}  // namespace

const QualityInfo* quality_info(int quality) {
  for (const QualityInfo& info : qualities) {
    if (info.number == quality) return &info;
  }
  return nullptr;
}

bool quality_available(int quality, const ListTable& song_list) {
  const QualityInfo* info = quality_info(quality);
  if (info == nullptr) return false;
  std::string tags;
  const int selected = song_list.selected();
  if (selected >= 0) tags = song_list.cell(static_cast<std::size_t>(selected), song_column_tags);
  return gbk_contains(tags, info->tag);
}

bool offer_quality(int quality, const ListTable& list, Ui& ui) {
  static const std::string missing =
      gbk_from_utf8("你要下载的音乐没有你选择的格式哟，请选择其他格式下载");
  static const std::string caption = gbk_from_utf8("提示");
  if (quality_available(quality, list)) return true;
  ui.message(missing, caption, MessageIcon::information);
  return false;
}

}  // namespace zarvex

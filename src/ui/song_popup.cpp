#include "ui/song_popup.h"

namespace zarvex {
namespace {

struct QualityItem {
  const char* name;
  QRect place;
  const char* caption;
  int quality;  // 0: no action
};

// The captions begin with six blanks, which leave room for the badge.
const QualityItem items[] = {
    {"标签1", {5, 8, 162, 32}, "      立即下载APE", 3},
    {"标签2", {5, 48, 162, 32}, "      立即下载FLAC", 4},
    {"标签3", {5, 88, 162, 32}, "      立即下载320K mp3", 2},
    {"标签4", {5, 120, 162, 32}, "      立即下载128K mp3", 1},
    {"标签5", {4, 152, 162, 32}, "      复制歌曲信息", 0},
};

struct BadgeBox {
  const char* name;
  QRect place;
  bool sq;
  int item;
};

const BadgeBox badge_boxes[] = {
    {"图片框1", {10, 17, 25, 15}, true, 0},
    {"图片框2", {11, 58, 25, 15}, true, 1},
    {"图片框3", {11, 98, 25, 15}, false, 2},
};

}  // namespace

SongPopup::SongPopup(const QPixmap& hq_badge, const QPixmap& sq_badge, QWidget* parent)
    : PopupWindow(172, 173, parent) {
  setWindowTitle(QStringLiteral("歌曲菜单"));
  for (const auto& item : items) {
    const int quality = item.quality;
    add_item(
        QString::fromUtf8(item.name), item.place, QString::fromUtf8(item.caption),
        quality == 0 ? std::function<void()>{} : [this, quality] { emit quality_chosen(quality); });
  }
  for (const auto& box : badge_boxes)
    add_item_picture(box.item, box.name, box.place, box.sq ? sq_badge : hq_badge, false);
}

ClickLabel* SongPopup::quality_label(int quality) const {
  for (int i = 0; i < static_cast<int>(std::size(items)); ++i) {
    if (items[i].quality == quality && quality != 0) return item_label(i);
  }
  return nullptr;
}

}  // namespace zarvex

#pragma once
// The song pop-up: the four download qualities of the selected song (with the SQ/HQ badges)
// and "复制歌曲信息", which does nothing.

#include <QPixmap>

#include "ui/popup_window.h"

namespace zarvex {

class SongPopup : public PopupWindow {
  Q_OBJECT
 public:
  // `badges`: index 0 the HQ badge, index 1 the SQ badge.
  SongPopup(const QPixmap& hq_badge, const QPixmap& sq_badge, QWidget* parent = nullptr);

  // The label that downloads quality 1..4 (128K mp3, 320K mp3, APE, FLAC); null otherwise.
  ClickLabel* quality_label(int quality) const;

 signals:
  void quality_chosen(int quality);
};

}  // namespace zarvex

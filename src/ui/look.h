#pragma once
// Colours of the side bar and the pop-up items, and the one way the windows write a control's
// background and text colour. The colours live in each control's own style sheet, so a skin
// applied to the whole program does not hide them.

#include <QColor>
#include <QWidget>

namespace zarvex {

inline const QColor side_highlight_colour{49, 194, 124};  // #31C27C
inline const QColor side_normal_colour{237, 245, 246};    // #EDF5F6
inline const QColor hover_colour{247, 247, 247};          // #F7F7F7
inline const QColor item_colour{255, 255, 255};           // #FFFFFF
inline const QColor black_text{0, 0, 0};
inline const QColor white_text{255, 255, 255};

// The colours last written by set_background / set_text_colour; invalid when none was.
QColor background_of(const QWidget* widget);
QColor text_colour_of(const QWidget* widget);

// Write the colour only when it differs from the current one, so moving inside one item
// repaints nothing. Return whether anything was written.
bool set_background(QWidget* widget, const QColor& colour);
bool set_text_colour(QWidget* widget, const QColor& colour);

}  // namespace zarvex

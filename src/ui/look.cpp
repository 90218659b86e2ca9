#include "ui/look.h"

#include <QVariant>

namespace zarvex {
namespace {

constexpr const char* background_key = "zarvex_background";
constexpr const char* text_key = "zarvex_text";

void restyle(QWidget* widget) {
  QString sheet;
  const QColor back = background_of(widget);
  const QColor text = text_colour_of(widget);
  if (back.isValid()) sheet += QStringLiteral("background-color: %1;").arg(back.name());
  if (text.isValid()) sheet += QStringLiteral("color: %1;").arg(text.name());
  widget->setAutoFillBackground(back.isValid());
  widget->setStyleSheet(sheet);
}

bool write_colour(QWidget* widget, const char* key, const QColor& colour) {
  if (widget->property(key).value<QColor>() == colour) return false;
  widget->setProperty(key, colour);
  restyle(widget);
  return true;
}

}  // namespace

QColor background_of(const QWidget* widget) {
  return widget->property(background_key).value<QColor>();
}

QColor text_colour_of(const QWidget* widget) {
  return widget->property(text_key).value<QColor>();
}

bool set_background(QWidget* widget, const QColor& colour) {
  return write_colour(widget, background_key, colour);
}

bool set_text_colour(QWidget* widget, const QColor& colour) {
  return write_colour(widget, text_key, colour);
}

}  // namespace zarvex

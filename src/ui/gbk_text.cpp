#include "ui/gbk_text.h"

#include "platform/codepage.h"

namespace zarvex {

QString qt_from_gbk(std::string_view gbk) {
  return QString::fromStdString(utf8_from_gbk(gbk));
}

std::string gbk_from_qt(const QString& text) {
  return gbk_from_utf8(text.toStdString());
}

}  // namespace zarvex

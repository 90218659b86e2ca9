#pragma once
// Texts cross between the core (GBK) and the widgets (QString) here, and only here.

#include <QString>
#include <string>
#include <string_view>

namespace zarvex {

QString qt_from_gbk(std::string_view gbk);
std::string gbk_from_qt(const QString& text);

}  // namespace zarvex

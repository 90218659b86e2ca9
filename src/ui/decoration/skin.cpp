#include "ui/decoration/skin.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>

#include <span>

#include "decoration/skin_library.h"

// Resources of a static library are linked only when something asks for them by name.
static void load_skin_resource() {
  Q_INIT_RESOURCE(skin);
}

namespace zarvex {
namespace {

const QByteArray& skin_bytes() {
  static const QByteArray bytes = [] {
    load_skin_resource();
    QFile file(QStringLiteral(":/skin/skin.qss"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }();
  return bytes;
}

}  // namespace

QString skin_style_sheet() {
  return QString::fromUtf8(skin_bytes());
}

void apply_skin(const MemoryLibrary& library, int value) {
  const QByteArray& bytes = skin_bytes();
  apply_skin_library(library,
                     std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                               static_cast<std::size_t>(bytes.size())),
                     value);
  if (auto* application = qobject_cast<QApplication*>(QCoreApplication::instance())) {
    application->setStyleSheet(skin_style_sheet());
  }
}

}  // namespace zarvex

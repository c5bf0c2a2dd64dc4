#include "forms/canvas/element_style.h"

namespace orbo {
namespace {

QString Border(int border) {
  switch (border) {
    case kFlatBorder:
      return QStringLiteral("border: 1px solid black;");
    case kSunkenBorder:
      return QStringLiteral("border: 2px inset #a0a0a0;");
    default:
      return QStringLiteral("border: none;");
  }
}

}  // namespace

QString ElementStyleSheet(const QString& widgetClass, int border, const QColor& back,
                          const QColor& fore, bool transparent) {
  const QString background = transparent ? QStringLiteral("transparent") : back.name();
  return QStringLiteral("%1 { %2 background-color: %3; color: %4; }")
      .arg(widgetClass, Border(border), background, fore.name());
}

}  // namespace orbo

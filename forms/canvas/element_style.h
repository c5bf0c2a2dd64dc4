// The look of an element control: its border code and colours as a style
// sheet for its widget class.
#pragma once

#include <QColor>
#include <QString>

namespace orbo {

enum BorderCode : int { kNoBorder = 0, kFlatBorder = 1, kSunkenBorder = 2 };

// A transparent control shows the canvas through its background.
QString ElementStyleSheet(const QString& widgetClass, int border, const QColor& back,
                          const QColor& fore, bool transparent = false);

}  // namespace orbo

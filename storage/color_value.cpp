#include "storage/color_value.h"

#include <QGuiApplication>
#include <QPalette>

namespace orbo {
namespace {

// The system colours forms use, taken from the desktop's palette.
QPalette::ColorRole SystemRole(int n) {
  switch (n) {
    case 5:
      return QPalette::Base;  // window background
    case 8:
      return QPalette::Text;  // window text
    case 15:
      return QPalette::Button;  // button face
    case 18:
      return QPalette::ButtonText;  // button text
    case 13:
      return QPalette::Highlight;  // highlight
    case 14:
      return QPalette::HighlightedText;
    case 24:
      return QPalette::ToolTipBase;  // info background
    case 23:
      return QPalette::ToolTipText;
    default:
      return QPalette::Window;
  }
}

}  // namespace

QColor ColorOf(std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  if (bits & 0x80000000u)
    return QGuiApplication::palette().color(SystemRole(static_cast<int>(bits & 0xFFu)));
  return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

std::int32_t StoredColor(const QColor& color) {
  const QColor rgb = color.toRgb();
  return rgb.red() | rgb.green() << 8 | rgb.blue() << 16;
}

}  // namespace orbo

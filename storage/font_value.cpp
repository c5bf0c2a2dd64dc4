#include "storage/font_value.h"

#include <algorithm>

namespace orbo {
QFont FontOf(const FontSpec& stored) {
  QFont font(stored.Name);
  if (stored.Size > 0) font.setPointSize(stored.Size);
  font.setBold(stored.Bold);
  font.setItalic(stored.Italic);
  return font;
}

FontSpec SpecOf(const QFont& font) {
  const int size = std::clamp(font.pointSize(), 0, 32767);
  return {font.family(), static_cast<std::int16_t>(size), font.bold(), font.italic()};
}

}  // namespace orbo

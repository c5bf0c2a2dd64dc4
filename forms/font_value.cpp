#include "forms/font_value.h"

namespace orbo {

QFont FontOf(const FontSpec& stored) {
  QFont font(stored.Name);
  if (stored.Size > 0) font.setPointSize(stored.Size);
  font.setBold(stored.Bold);
  font.setItalic(stored.Italic);
  return font;
}

}  // namespace orbo

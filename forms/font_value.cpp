#include "forms/font_value.h"

namespace orbo {

QFont FontOf(const FontSpec& spec) {
  QFont font(spec.Name);
  if (spec.Size > 0) font.setPointSize(spec.Size);
  font.setBold(spec.Bold);
  font.setItalic(spec.Italic);
  return font;
}

}  // namespace orbo

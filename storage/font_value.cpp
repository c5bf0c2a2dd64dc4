#include "storage/font_value.h"

#include <algorithm>

namespace orbo {
namespace {

constexpr int kFontWords = 320;

}  // namespace

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

QString DescribeFont(const FontSpec& font, const LanguageTexts& texts) {
  QStringList parts{font.Name};
  if (font.Size > 0) parts << QStringLiteral("%1 %2").arg(font.Size).arg(texts.Get(kFontWords, 2));
  if (font.Bold) parts << texts.Get(kFontWords, 3);
  if (font.Italic) parts << texts.Get(kFontWords, 4);
  return parts.join(QStringLiteral(", "));
}

}  // namespace orbo

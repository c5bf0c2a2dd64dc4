#include "shell/font_text.h"

#include <QStringList>

namespace orbo {
namespace {

constexpr int kFontWords = 320;

}  // namespace

QString DescribeFont(const FontSpec& font, const LanguageTexts& texts) {
  QStringList parts{font.Name};
  if (font.Size > 0) parts << QStringLiteral("%1 %2").arg(font.Size).arg(texts.Get(kFontWords, 2));
  if (font.Bold) parts << texts.Get(kFontWords, 3);
  if (font.Italic) parts << texts.Get(kFontWords, 4);
  return parts.join(QStringLiteral(", "));
}

}  // namespace orbo

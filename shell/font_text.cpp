#include "shell/font_text.h"

#include <QStringList>

#include "shell/shell_texts.h"

namespace orbo {

QString DescribeFont(const FontSpec& font, const LanguageTexts& texts) {
  QStringList parts{font.Name};
  if (font.Size > 0)
    parts << QStringLiteral("%1 %2").arg(font.Size).arg(texts.Get(shell_texts::kPointsWord));
  if (font.Bold) parts << texts.Get(shell_texts::kBoldWord);
  if (font.Italic) parts << texts.Get(shell_texts::kItalicWord);
  return parts.join(QStringLiteral(", "));
}

}  // namespace orbo

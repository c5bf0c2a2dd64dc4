#include "storage/element_text.h"

#include <algorithm>

namespace orbo {
namespace {

bool IsLineBreak(QChar c) {
  return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

}  // namespace

int StoredLength(const QString& shown) {
  const auto breaks = std::count_if(shown.begin(), shown.end(), IsLineBreak);
  return static_cast<int>(shown.size() + breaks);
}

QString FittingInsertion(const QString& text, int room) {
  // A pasted CR LF or lone CR becomes one line break, as the box makes it.
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
  int stored = 0;
  qsizetype taken = 0;
  for (; taken < shown.size(); ++taken) {
    const int width = IsLineBreak(shown.at(taken)) ? 2 : 1;
    if (stored + width > room) break;
    stored += width;
  }
  shown.truncate(taken);
  return shown;
}

}  // namespace orbo

// Multiline texts are stored with CR LF between lines, as the files of every
// version hold them; the text boxes work with LF.
#pragma once

#include <QString>

namespace orbo {

inline QString ShownLines(QString stored) {
  return stored.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

inline QString StoredLines(QString shown) {
  return ShownLines(std::move(shown)).replace(u'\n', QStringLiteral("\r\n"));
}

// How many characters shown text takes when stored: a line break is two.
// Paragraph and line separators (what a text box's selection holds for a
// line break) count as line breaks.
int StoredLength(const QString& shown);

// The beginning of text to insert (any line breaks, shown as LF) whose
// stored length is at most room; a line break goes whole or not at all.
QString FittingInsertion(const QString& text, int room);

}  // namespace orbo

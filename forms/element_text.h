// Multiline texts are stored with CR LF between lines, as the files of every
// version hold them; the text boxes work with LF.
#pragma once

#include <QString>

namespace orbo {

inline QString ShownLines(QString stored) { return stored.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

inline QString StoredLines(QString shown) {
  return ShownLines(std::move(shown)).replace(u'\n', QStringLiteral("\r\n"));
}

}  // namespace orbo

// How a text file is read, as found or as the user chose.
#pragma once

#include <QChar>
#include <QString>

namespace orbo {

// Its encoding ("UTF-8", "UTF-16LE", "UTF-16BE" or a code page's name) and
// its delimiter. Empty or null in a choice: as found.
struct TextReading {
  QString encoding;
  QChar delimiter;
};

}  // namespace orbo

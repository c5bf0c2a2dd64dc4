// Reading a CSV file whole, through libcsv: the encoding told by a
// byte-order mark, else UTF-8 when every byte sequence is one, else the
// open database's code page; the delimiter the one of comma, semicolon and
// tab found most often in the first line outside quotes.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace orbo {

// A field longer than this stops the reading: no value the database
// holds comes near it, and a hostile file cannot make the reader hold
// more than this much in one piece.
inline constexpr qsizetype kMaxCsvFieldBytes = 4 * 1024 * 1024;

struct CsvTable {
  std::vector<QStringList> rows;  // every row, the first one too
  QChar delimiter = u',';
  QString encoding;  // "UTF-8", "UTF-16LE", "UTF-16BE" or the code page's name
};

struct CsvRead {
  std::optional<CsvTable> table;
  QString problem;  // why there is no table, in words
};

CsvRead ReadCsv(const QByteArray& bytes, const QString& codePageName);
CsvRead ReadCsvFile(const QString& path, const QString& codePageName);

}  // namespace orbo

// Reading a CSV file whole, through libcsv: the encoding told by a
// byte-order mark, else UTF-16 when NULs fill every other byte, else UTF-8
// when every byte sequence is one, else the open database's code page; the
// delimiter the one of comma, semicolon and tab found most often in the
// first line outside quotes. The user may choose either instead.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "query/access/tables/text_reading.h"

namespace orbo {

// A field longer than this stops the reading: no value the database
// holds comes near it, and a hostile file cannot make the reader hold
// more than this much in one piece.
inline constexpr qsizetype kMaxCsvFieldBytes = 4 * 1024 * 1024;

struct CsvTable {
  std::vector<QStringList> rows;  // every row, the first one too
};

// Why a file gives no table, and where in it.
struct CsvProblem {
  enum Kind {
    kNone,
    kCannotOpen,
    kTooLarge,
    kCannotRead,
    kNulBytes,
    kQuoteOutOfPlace,
    kQuoteNotClosed,
    kFieldTooLong,
    kCodePage,
  };
  Kind kind = kNone;
  qint64 row = 0;     // counted from 1, where a row is named
  qint64 column = 0;  // counted from 1, where a column is named
  QString detail;     // the system's reason, or the code page's
};

struct CsvRead {
  std::optional<CsvTable> table;
  CsvProblem problem;  // why there is no table
  // How the bytes were read, also when they gave no table.
  TextReading reading;
};

bool IsUsableCsvDelimiter(QChar c);
// The encodings a choice may name: the Unicode forms, then the code pages.
QStringList CsvEncodings();

// The user's choice of reading overrides what is found; a delimiter must be
// ASCII other than a quote or a line break.
CsvRead ReadCsv(const QByteArray& bytes, const QString& codePageName,
                const TextReading& choice = {});
// The file's bytes, or why they cannot be had.
CsvProblem LoadCsvBytes(const QString& path, QByteArray* bytes);
CsvRead ReadCsvFile(const QString& path, const QString& codePageName);

}  // namespace orbo

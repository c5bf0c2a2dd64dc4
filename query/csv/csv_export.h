// The export to CSV files without widgets: one file per form that has
// records in the chosen folders, the columns named as the Access export
// names them, the first holding the record's folder path.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "query/access/tables/access_export.h"
#include "storage/database_model.h"

namespace orbo {

struct CsvOptions {
  QChar delimiter = u',';
  // Spreadsheets take a file without one for the local code page.
  bool byteOrderMark = true;
  // "true"/"false" instead of "1"/"0".
  bool flagWords = false;
  // Values that begin like a formula are written so that spreadsheets show
  // them as text (the import reads them back as they were).
  bool quoteFormulas = true;
  // Only this form's file (-1: every form's).
  int form = -1;
};

// One field as it stands in a row: quoted, with quotes doubled, when it holds
// the delimiter, a quote, a line break or a blank at either end.
QString CsvField(const QString& value, QChar delimiter);

struct CsvFile {
  QString name;  // the form's name, made safe as a file name, with ".csv"
  QByteArray bytes;
};

// The files, in form order; rows end in CR LF.
std::vector<CsvFile> ExportToCsv(const Database& db, const ExportScope& scope,
                                 const CsvOptions& options);

// Writes every file into folder, each whole or not at all: none replaces a
// file of its name until all were written and every such file may be
// replaced. The paths written, or an error in words.
struct CsvWritten {
  QStringList paths;
  QString error;
};
CsvWritten WriteCsvFiles(const QString& folder, const std::vector<CsvFile>& files);

}  // namespace orbo

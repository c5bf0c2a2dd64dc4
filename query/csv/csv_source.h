// CSV files as a source of the import: one table named after the file, its
// columns named by the first row unless the user says it holds data.
#pragma once

#include <functional>
#include <memory>

#include "query/access/tables/access_engine.h"
#include "query/csv/csv_reader.h"

namespace orbo {

// The whole message for a CSV file at path that gives no table.
using CsvProblemWords = std::function<QString(const CsvProblem& problem, const QString& path)>;

// The bytes of a file at path as a source, read as found; when they give no
// table its Problem says why, and another reading may give one.
std::unique_ptr<AccessSource> MakeCsvSource(QByteArray bytes, const QString& path,
                                            const QString& codePageName,
                                            const CsvProblemWords& words);
// The file's own bytes; nullptr, with problem set, when they cannot be had.
std::unique_ptr<AccessSource> OpenCsvSource(const QString& path, const QString& codePageName,
                                            const CsvProblemWords& words, CsvProblem* problem);

// Reads .csv and .txt files as CSV, in the code page codePage names for
// files in no Unicode form, and hands everything else to the Access engine.
// A file that cannot be read is told in words, or by the dialog's own
// message without them.
std::unique_ptr<AccessEngine> MakeExchangeEngine(std::function<QString()> codePage,
                                                 CsvProblemWords words = {});

}  // namespace orbo

// CSV files as a source of the import: one table named after the file, its
// columns named by the first row unless the user says it holds data.
#pragma once

#include <functional>
#include <memory>

#include "query/access/tables/access_engine.h"
#include "query/csv/csv_reader.h"

namespace orbo {

std::unique_ptr<AccessSource> MakeCsvSource(CsvTable table, const QString& name);

// The whole message for a CSV file at path that gives no table.
using CsvProblemWords = std::function<QString(const CsvProblem& problem, const QString& path)>;

// Reads .csv and .txt files as CSV, in the code page codePage names for
// files in no Unicode form, and hands everything else to the Access engine.
// A file that cannot be read is told in words, or by the dialog's own
// message without them.
std::unique_ptr<AccessEngine> MakeExchangeEngine(std::function<QString()> codePage,
                                                 CsvProblemWords words = {});

}  // namespace orbo

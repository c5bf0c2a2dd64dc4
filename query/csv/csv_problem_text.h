// Why a CSV file gives no table, in the user's words: what was found where,
// and how to mend the file.
#pragma once

#include <QString>

#include "query/csv/csv_reader.h"

namespace orbo {

class LanguageTexts;

// The whole message: the title line, then the reason for path.
QString CsvProblemText(const CsvProblem& problem, const QString& path, const LanguageTexts& texts);

}  // namespace orbo

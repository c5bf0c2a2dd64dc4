// Spreadsheets take a cell that begins with =, +, -, @, a tab or a CR for a
// formula, which may run or fetch something. Such a value is written with a
// leading apostrophe, which they show as text, and read back without it.
#pragma once

#include <QString>

namespace orbo {

// value with one more leading apostrophe when, after the apostrophes it
// already begins with, it begins as a formula would.
QString FormulaQuoted(const QString& value);

// Takes away exactly the apostrophe FormulaQuoted adds, and only from a value
// it would have added one to.
QString WithoutFormulaQuote(const QString& value);

}  // namespace orbo

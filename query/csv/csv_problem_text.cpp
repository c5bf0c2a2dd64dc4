#include "query/csv/csv_problem_text.h"

#include <QDir>

#include "query/csv/csv_texts.h"
#include "shell/language_texts.h"

namespace orbo {

QString CsvProblemText(const CsvProblem& problem, const QString& path, const LanguageTexts& texts) {
  const QString file = QDir::toNativeSeparators(path);
  const QString row = QString::number(problem.row);
  const QString column = QString::number(problem.column);
  QString reason;
  switch (problem.kind) {
    case CsvProblem::kNone:
      break;
    case CsvProblem::kCannotOpen:
      reason = texts.Get(csv_texts::kCannotOpen).arg(file, problem.detail);
      break;
    case CsvProblem::kTooLarge:
      reason = texts.Get(csv_texts::kTooLarge).arg(file);
      break;
    case CsvProblem::kCannotRead:
      reason = texts.Get(csv_texts::kCannotRead).arg(file, problem.detail);
      break;
    case CsvProblem::kNulBytes:
      reason = texts.Get(csv_texts::kNulBytes);
      break;
    case CsvProblem::kQuoteOutOfPlace:
      reason = texts.Get(csv_texts::kQuoteOutOfPlace).arg(row, column);
      break;
    case CsvProblem::kQuoteNotClosed:
      reason = texts.Get(csv_texts::kQuoteNotClosed).arg(row, column);
      break;
    case CsvProblem::kFieldTooLong:
      reason = texts.Get(csv_texts::kFieldTooLong)
                   .arg(row, column, QString::number(kMaxCsvFieldBytes / (1024 * 1024)));
      break;
    case CsvProblem::kCodePage:
      reason = texts.Get(csv_texts::kCodePageUnusable).arg(problem.detail);
      break;
  }
  const QString title = texts.Get(csv_texts::kCsvFileNotOpened);
  return reason.isEmpty() ? title : title + u'\r' + reason;
}

}  // namespace orbo

#include "query/csv/csv_source.h"

#include <QFileInfo>
#include <algorithm>

#include "query/csv/formula_quote.h"

namespace orbo {
namespace {

class CsvSource : public AccessSource {
 public:
  CsvSource(CsvTable table, QString name) : table_(std::move(table)), name_(std::move(name)) {
    for (const QStringList& row : table_.rows)
      width_ = std::max(width_, std::min<qsizetype>(row.size(), kReadColumns));
  }

  QStringList TableNames() const override { return {name_}; }

  bool OpenTable(int index, QStringList* columns, qint64* rowCount) override {
    if (index != 0) return false;
    columns->clear();
    const QStringList names =
        firstRowNames_ && !table_.rows.empty() ? table_.rows[0] : QStringList();
    for (qsizetype c = 0; c < width_; ++c) {
      const QString name = names.value(c).trimmed();
      *columns << (name.isEmpty() ? QStringLiteral("Column %1").arg(c + 1) : name);
    }
    next_ = firstRowNames_ ? 1 : 0;
    *rowCount = static_cast<qint64>(table_.rows.size()) -
                static_cast<qint64>(std::min(next_, table_.rows.size()));
    return true;
  }

  bool NextRow(QStringList* values) override {
    if (next_ >= table_.rows.size()) return false;
    *values = table_.rows[next_++].mid(0, width_);
    // The values an export wrote for spreadsheets come back as they were.
    for (QString& value : *values) value = WithoutFormulaQuote(value);
    while (values->size() < width_) *values << QString();
    return true;
  }

  bool Failed() const override { return false; }
  bool OffersFirstRowChoice() const override { return true; }
  void SetFirstRowNames(bool names) override { firstRowNames_ = names; }

 private:
  CsvTable table_;
  QString name_;
  qsizetype width_ = 0;
  std::size_t next_ = 0;
  bool firstRowNames_ = true;
};

class ExchangeEngine : public AccessEngine {
 public:
  ExchangeEngine(std::function<QString()> codePage, CsvProblemWords words)
      : codePage_(std::move(codePage)), words_(std::move(words)), access_(MakeAccessEngine()) {}

  std::unique_ptr<AccessSource> OpenDatabase(const QString& path) override {
    problem_.clear();
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != u"csv" && suffix != u"txt") return access_->OpenDatabase(path);
    CsvRead read = ReadCsvFile(path, codePage_());
    if (!read.table) {
      if (words_) problem_ = words_(read.problem, path);
      return nullptr;
    }
    return MakeCsvSource(std::move(*read.table), QFileInfo(path).completeBaseName());
  }
  QString OpenProblem() const override { return problem_; }
  std::unique_ptr<AccessTarget> CreateDatabase(const QString& path) override {
    return access_->CreateDatabase(path);
  }

 private:
  std::function<QString()> codePage_;
  CsvProblemWords words_;
  std::unique_ptr<AccessEngine> access_;
  QString problem_;
};

}  // namespace

std::unique_ptr<AccessSource> MakeCsvSource(CsvTable table, const QString& name) {
  return std::make_unique<CsvSource>(std::move(table), name);
}

std::unique_ptr<AccessEngine> MakeExchangeEngine(std::function<QString()> codePage,
                                                 CsvProblemWords words) {
  return std::make_unique<ExchangeEngine>(std::move(codePage), std::move(words));
}

}  // namespace orbo

#include "query/csv/csv_source.h"

#include <QFileInfo>
#include <algorithm>

#include "query/csv/formula_quote.h"

namespace orbo {
namespace {

class CsvSource : public AccessSource {
 public:
  CsvSource(CsvTable table, QByteArray bytes, QString path, QString codePageName,
            CsvProblemWords words)
      : bytes_(std::move(bytes)),
        path_(std::move(path)),
        codePageName_(std::move(codePageName)),
        words_(std::move(words)) {
    Take(std::move(table));
  }

  QStringList TableNames() const override { return {QFileInfo(path_).completeBaseName()}; }

  bool OpenTable(int index, QStringList* columns, qint64* rowCount) override {
    if (index != 0 || !reading_) return false;
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
  std::optional<TextReading> Reading() const override { return reading_; }
  QStringList Encodings() const override {
    QStringList encodings = CsvEncodings();
    if (!encodings.contains(codePageName_)) encodings << codePageName_;
    return encodings;
  }

  QString ReadAs(const TextReading& choice) override {
    CsvRead read = ReadCsv(bytes_, codePageName_, {choice.encoding, choice.delimiter});
    if (!read.table) {
      table_ = {};
      reading_.reset();
      return words_ ? words_(read.problem, path_) : QString();
    }
    Take(std::move(*read.table));
    return {};
  }

 private:
  void Take(CsvTable table) {
    table_ = std::move(table);
    reading_ = TextReading{table_.encoding, table_.delimiter};
    width_ = 0;
    for (const QStringList& row : table_.rows)
      width_ = std::max(width_, std::min<qsizetype>(row.size(), kReadColumns));
  }

  QByteArray bytes_;
  QString path_;
  QString codePageName_;
  CsvProblemWords words_;
  CsvTable table_;
  std::optional<TextReading> reading_;  // none when the last reading gave no table
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
    CsvProblem problem;
    std::unique_ptr<AccessSource> source = OpenCsvSource(path, codePage_(), words_, &problem);
    if (!source && words_) problem_ = words_(problem, path);
    return source;
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

std::unique_ptr<AccessSource> MakeCsvSource(QByteArray bytes, const QString& path,
                                            const QString& codePageName,
                                            const CsvProblemWords& words, CsvProblem* problem) {
  CsvRead read = ReadCsv(bytes, codePageName);
  if (!read.table) {
    *problem = read.problem;
    return nullptr;
  }
  return std::make_unique<CsvSource>(std::move(*read.table), std::move(bytes), path, codePageName,
                                     words);
}

std::unique_ptr<AccessSource> OpenCsvSource(const QString& path, const QString& codePageName,
                                            const CsvProblemWords& words, CsvProblem* problem) {
  QByteArray bytes;
  *problem = LoadCsvBytes(path, &bytes);
  if (problem->kind != CsvProblem::kNone) return nullptr;
  return MakeCsvSource(std::move(bytes), path, codePageName, words, problem);
}

std::unique_ptr<AccessEngine> MakeExchangeEngine(std::function<QString()> codePage,
                                                 CsvProblemWords words) {
  return std::make_unique<ExchangeEngine>(std::move(codePage), std::move(words));
}

}  // namespace orbo

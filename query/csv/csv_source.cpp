#include "query/csv/csv_source.h"

#include <QFileInfo>
#include <algorithm>

#include "query/csv/formula_quote.h"

namespace orbo {
namespace {

class CsvSource : public AccessSource {
 public:
  CsvSource(QByteArray bytes, QString path, QString codePageName, CsvProblemWords words)
      : bytes_(std::move(bytes)),
        path_(std::move(path)),
        codePageName_(std::move(codePageName)),
        words_(std::move(words)) {
    ReadAs({});
  }

  QStringList TableNames() const override { return {QFileInfo(path_).completeBaseName()}; }

  bool OpenTable(int index, QStringList* columns, qint64* rowCount) override {
    if (index != 0 || !read_.table) return false;
    const CsvTable& table = *read_.table;
    columns->clear();
    const QStringList names = firstRowNames_ && !table.rows.empty() ? table.rows[0] : QStringList();
    for (qsizetype c = 0; c < width_; ++c) {
      const QString name = names.value(c).trimmed();
      *columns << (name.isEmpty() ? QStringLiteral("Column %1").arg(c + 1) : name);
    }
    next_ = firstRowNames_ ? 1 : 0;
    *rowCount = static_cast<qint64>(table.rows.size()) -
                static_cast<qint64>(std::min(next_, table.rows.size()));
    return true;
  }

  bool NextRow(QStringList* values) override {
    if (!read_.table || next_ >= read_.table->rows.size()) return false;
    *values = read_.table->rows[next_++].mid(0, width_);
    // The values an export wrote for spreadsheets come back as they were.
    for (QString& value : *values) value = WithoutFormulaQuote(value);
    while (values->size() < width_) *values << QString();
    return true;
  }

  bool Failed() const override { return false; }
  bool OffersFirstRowChoice() const override { return true; }
  void SetFirstRowNames(bool names) override { firstRowNames_ = names; }
  std::optional<TextReading> Reading() const override { return read_.reading; }
  QStringList Encodings() const override {
    QStringList encodings = CsvEncodings();
    if (!encodings.contains(codePageName_)) encodings << codePageName_;
    return encodings;
  }
  QString Problem() const override {
    if (read_.table) return {};
    // Without words (a test's source) the kind says it.
    return words_ ? words_(read_.problem, path_) : QString::number(read_.problem.kind);
  }

  QString ReadAs(const TextReading& choice) override {
    read_ = ReadCsv(bytes_, codePageName_, choice);
    width_ = 0;
    next_ = 0;
    if (read_.table) {
      for (const QStringList& row : read_.table->rows)
        width_ = std::max(width_, std::min<qsizetype>(row.size(), kReadColumns));
    }
    return Problem();
  }

 private:
  QByteArray bytes_;
  QString path_;
  QString codePageName_;
  CsvProblemWords words_;
  CsvRead read_;
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
                                            const CsvProblemWords& words) {
  return std::make_unique<CsvSource>(std::move(bytes), path, codePageName, words);
}

std::unique_ptr<AccessSource> OpenCsvSource(const QString& path, const QString& codePageName,
                                            const CsvProblemWords& words, CsvProblem* problem) {
  QByteArray bytes;
  *problem = LoadCsvBytes(path, &bytes);
  if (problem->kind != CsvProblem::kNone) return nullptr;
  return MakeCsvSource(std::move(bytes), path, codePageName, words);
}

std::unique_ptr<AccessEngine> MakeExchangeEngine(std::function<QString()> codePage,
                                                 CsvProblemWords words) {
  return std::make_unique<ExchangeEngine>(std::move(codePage), std::move(words));
}

}  // namespace orbo

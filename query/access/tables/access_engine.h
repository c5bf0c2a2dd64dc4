// The Access engine: reading the tables of an Access file and creating a
// new one. Import and export talk only to this interface, so a test can
// put an engine that fails in its place.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "query/access/jet4/jet4_writer.h"
#include "query/access/tables/text_reading.h"

namespace orbo {

// Columns past these are never read: an import maps at most this many.
inline constexpr int kReadColumns = 129;

// An Access file opened for reading.
class AccessSource {
 public:
  virtual ~AccessSource() = default;
  // The user tables, in the file's order.
  virtual QStringList TableNames() const = 0;
  // Opens table `index` at its first row. False when it cannot be read.
  virtual bool OpenTable(int index, QStringList* columns, qint64* rowCount) = 0;
  // The next row of the open table: the values of its first kReadColumns
  // columns as text ("" when empty; a Boolean as "True" or "False", a date
  // as "yyyy-mm-dd hh:mm:ss" without a midnight time, a Currency or decimal
  // without trailing zeros). False past the last row, or when the table is
  // damaged, which `Failed` then reports.
  virtual bool NextRow(QStringList* values) = 0;
  virtual bool Failed() const = 0;
  // Whether the first row may hold the column names or data (a CSV file);
  // tables of a database always name their columns.
  virtual bool OffersFirstRowChoice() const { return false; }
  virtual void SetFirstRowNames(bool /*names*/) {}
  // A text file's reading, which the user may change: the last one tried.
  // None for a database.
  virtual std::optional<TextReading> Reading() const { return std::nullopt; }
  // The encodings it may be read in.
  virtual QStringList Encodings() const { return {}; }
  // Why the last reading gave no table, in words; empty when it gave one.
  // Without a table no table opens.
  virtual QString Problem() const { return {}; }
  // Reads the file again as chosen; the new Problem.
  virtual QString ReadAs(const TextReading& /*choice*/) { return {}; }
};

// A new Access file being made; written whole by `Close`.
class AccessTarget {
 public:
  virtual ~AccessTarget() = default;
  // Returns the table's number for AppendRow.
  virtual int CreateTable(const QString& name, std::vector<jet4::Column> columns) = 0;
  virtual void AppendRow(int table, std::vector<jet4::Cell> row) = 0;
  virtual bool Close(jet4::Error* error) = 0;
};

class AccessEngine {
 public:
  virtual ~AccessEngine() = default;
  // nullptr when the file is not an Access database it can read.
  virtual std::unique_ptr<AccessSource> OpenDatabase(const QString& path) = 0;
  // Why the last OpenDatabase gave nothing, in words, when it can say.
  virtual QString OpenProblem() const { return {}; }
  virtual std::unique_ptr<AccessTarget> CreateDatabase(const QString& path) = 0;
};

// libmdb reads; our Jet 4 writer creates.
std::unique_ptr<AccessEngine> MakeAccessEngine();

}  // namespace orbo

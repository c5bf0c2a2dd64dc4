// Writes a new Jet 4 (Access 2000) .mdb file in one go: every table, row
// and catalog entry is known before the first byte is written, so there is
// no update engine. Qt Core only, so orbo-cli can use it.
#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace orbo::jet4 {

enum class ColumnType : unsigned char {
  Boolean = 0x01,
  Currency = 0x05,
  DateTime = 0x08,
  Text = 0x0A,
  Memo = 0x0C,
};

struct Column {
  QString name;
  ColumnType type = ColumnType::Text;
};

// A value: `text` for Text and Memo columns, `flag` for Boolean ones,
// `number` for DateTime (days since 1899-12-30, the fraction the time of
// day) and Currency ones, where no number is Null.
struct Cell {
  QString text;
  bool flag = false;
  std::optional<double> number = std::nullopt;
};

struct Table {
  QString name;
  std::vector<Column> columns;
  std::vector<std::vector<Cell>> rows;  // each row has one cell per column
};

struct Error {
  int number = 0;  // one of the WriteError numbers below
  QString text;    // what went wrong, for the user (path, reason)
};

enum WriteError : int {
  kCannotCreate = 1,    // the file cannot be created or written
  kTooManyColumns = 2,  // more than 255 columns in a table
  kBadRow = 3,          // a row with the wrong number of cells, or a number out of range
  kTooLarge = 4,        // the file would pass the format's size limit
};

// Writes the tables, in order, as a new file at `path` (replacing a file
// there only when the whole new file has been written; nothing is left
// behind on failure). Table and column names Jet refuses are made
// acceptable and distinct; a Text column whose values do not fit (over 255
// characters, or a row beyond a page) is written as a Memo column.
bool WriteDatabase(const QString& path, const std::vector<Table>& tables, Error* error);

}  // namespace orbo::jet4

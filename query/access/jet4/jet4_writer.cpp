#include "query/access/jet4/jet4_writer.h"

#include <QDateTime>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

#include "query/access/jet4/database_image.h"
#include "query/access/jet4/header_page.h"

namespace orbo::jet4 {

namespace {

constexpr std::size_t kMaxColumns = 255;
// A long value's length field has 30 bits; UCS-2 takes two bytes a character.
constexpr qsizetype kMaxValueLength = 0x3FFFFFFF / 2;
// Currency's range, an integer of ten-thousandths; dates lie well within.
constexpr double kMaxNumber = 922337203685477.0;

bool StorableNumber(const Cell& cell) {
  return !cell.number || (std::isfinite(*cell.number) && std::abs(*cell.number) <= kMaxNumber);
}

bool Fail(Error* error, WriteError number, const QString& text) {
  if (error) *error = {number, text};
  return false;
}

bool CheckTables(const std::vector<Table>& tables, Error* error) {
  for (const Table& table : tables) {
    if (table.columns.size() > kMaxColumns)
      return Fail(error, kTooManyColumns,
                  QStringLiteral("Table \"%1\" has %2 columns; at most %3 are possible.")
                      .arg(table.name)
                      .arg(table.columns.size())
                      .arg(kMaxColumns));
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
      const std::vector<Cell>& row = table.rows[r];
      if (row.size() != table.columns.size())
        return Fail(error, kBadRow,
                    QStringLiteral("Row %1 of table \"%2\" has %3 values for %4 columns.")
                        .arg(r + 1)
                        .arg(table.name)
                        .arg(row.size())
                        .arg(table.columns.size()));
      if (std::any_of(row.begin(), row.end(),
                      [](const Cell& cell) { return cell.text.size() > kMaxValueLength; }))
        return Fail(error, kTooLarge,
                    QStringLiteral("Row %1 of table \"%2\" holds a value too long for Access.")
                        .arg(r + 1)
                        .arg(table.name));
      if (!std::all_of(row.begin(), row.end(), StorableNumber))
        return Fail(error, kBadRow,
                    QStringLiteral("Row %1 of table \"%2\" holds a number Access cannot store.")
                        .arg(r + 1)
                        .arg(table.name));
    }
  }
  return true;
}

}  // namespace

bool WriteDatabase(const QString& path, const std::vector<Table>& tables, Error* error) {
  if (!CheckTables(tables, error)) return false;
  const std::optional<PageFile> image =
      BuildDatabaseImage(tables, OleDate(QDateTime::currentDateTime()));
  if (!image)
    return Fail(error, kTooLarge,
                QStringLiteral("The data does not fit in an Access file (2 GB at most)."));
  // QSaveFile writes beside the target and renames over it only on commit.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || !image->WriteTo(file) || !file.commit())
    return Fail(error, kCannotCreate,
                QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString()));
  return true;
}

}  // namespace orbo::jet4

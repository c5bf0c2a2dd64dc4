#include "query/access/jet4/user_table.h"

#include <cmath>

#include "query/access/jet4/column_fit.h"
#include "query/access/jet4/names.h"

namespace orbo::jet4 {

namespace {

ColumnDef Stored(const QString& name, ColumnType type) {
  const auto jetType = static_cast<JetType>(type);
  if (IsVariable(jetType)) return {name, jetType, kFlagUpdatable, kExtraCompressible};
  return {name, jetType, kFlagFixed | kFlagUpdatable, 0};
}

Value NumberValue(JetType type, double number) {
  if (type == JetType::DateTime) return number;
  return static_cast<std::int64_t>(std::llround(number * 10000));  // Currency
}

}  // namespace

UserTable PrepareUserTable(const Table& table, const QString& name) {
  std::vector<QString> requested;
  for (const Column& column : table.columns) requested.push_back(column.name);
  const std::vector<QString> names = AcceptableColumnNames(requested);
  const std::vector<ColumnType> types = StoredColumnTypes(table);
  std::vector<ColumnDef> columns;
  for (std::size_t c = 0; c < names.size(); ++c) columns.push_back(Stored(names[c], types[c]));
  // Jet refuses a table without fields; such a table gets one empty Text column.
  if (columns.empty()) columns.push_back(Stored(QStringLiteral("Field1"), ColumnType::Text));
  return {&table, name, LayOut(std::move(columns))};
}

std::vector<Value> RowValues(const UserTable& table, std::size_t row) {
  const std::vector<Cell>& cells = table.source->rows[row];
  std::vector<Value> values(table.layout.columns.size());
  for (std::size_t c = 0; c < cells.size(); ++c) {
    const JetType type = table.layout.columns[c].type;
    if (type == JetType::Boolean)
      values[c] = cells[c].flag;
    else if (!IsVariable(type))
      values[c] = cells[c].number ? NumberValue(type, *cells[c].number) : Value();
    else if (!cells[c].text.isEmpty())
      values[c] = cells[c].text;
  }
  return values;
}

}  // namespace orbo::jet4

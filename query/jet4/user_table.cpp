#include "query/jet4/user_table.h"

#include "query/jet4/column_fit.h"
#include "query/jet4/names.h"

namespace orbo::jet4 {

namespace {

ColumnDef Stored(const QString& name, ColumnType type) {
  if (type == ColumnType::Boolean) return {name, JetType::Boolean, kFlagFixed | kFlagUpdatable, 0};
  return {name, static_cast<JetType>(type), kFlagUpdatable, kExtraCompressible};
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
    if (table.layout.columns[c].type == JetType::Boolean)
      values[c] = cells[c].flag;
    else if (!cells[c].text.isEmpty())
      values[c] = cells[c].text;
  }
  return values;
}

}  // namespace orbo::jet4

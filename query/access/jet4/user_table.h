// A caller's table as it is stored: acceptable names, the stored column
// types and the values of each row.
#pragma once

#include <vector>

#include "query/access/jet4/column_layout.h"
#include "query/access/jet4/jet4_writer.h"
#include "query/access/jet4/row_encoding.h"

namespace orbo::jet4 {

struct UserTable {
  const Table* source = nullptr;
  QString name;
  TableLayout layout;
};

UserTable PrepareUserTable(const Table& table, const QString& name);

// One value per stored column. Empty texts are stored as Null: a new Jet field does not allow
// zero-length strings.
std::vector<Value> RowValues(const UserTable& table, std::size_t row);

}  // namespace orbo::jet4

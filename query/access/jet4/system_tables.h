// The four tables Jet's CreateDatabase makes (MSysObjects, MSysACEs,
// MSysQueries, MSysRelationships) and the rows of the first two: the
// catalog and the permissions.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "query/access/jet4/row_encoding.h"
#include "query/access/jet4/table_definition.h"

namespace orbo::jet4 {

inline constexpr std::uint32_t kFirstSystemTdefPage = 2;
inline constexpr int kSystemTableCount = 4;
inline constexpr std::int32_t kTablesContainer = 0x0F000001;

struct SystemTable {
  QString name;
  std::vector<ColumnDef> columns;
  std::vector<IndexDef> indexes;  // names, columns, flags and types only
};

// In TDEF page order: MSysObjects, MSysACEs, MSysQueries, MSysRelationships.
std::vector<SystemTable> SystemTables();

struct UserTableEntry {
  QString name;
  std::int32_t tdefPage;
};

// MSysObjects rows: the containers, the database object, the system tables
// and then each user table (whose Id is its TDEF page).
std::vector<std::vector<Value>> CatalogRows(const std::vector<UserTableEntry>& userTables,
                                            double created);

// MSysACEs rows: the permissions of a fresh database, and full rights on
// each user table for the accounts the Tables container names.
std::vector<std::vector<Value>> AceRows(const std::vector<UserTableEntry>& userTables);

}  // namespace orbo::jet4

// The table definition (TDEF): header, column descriptors and names, index
// entries and long-value map pointers, spread over as many pages as needed.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

#include "query/access/jet4/column_layout.h"
#include "query/access/jet4/page_file.h"

namespace orbo::jet4 {

inline constexpr char kUserTable = 0x4E;
inline constexpr char kSystemTable = 0x53;

// One index: a real (physical) index with its logical twin of the same
// number. Listed in collation order of their names.
struct IndexDef {
  QString name;
  std::vector<int> columns;
  std::uint8_t flags = 0;        // 0x01 unique, 0x08 ignore nulls... (0x80 always)
  std::uint8_t logicalType = 0;  // 1 primary key
  std::uint32_t distinctKeys = 0;
  RowPointer usageMap;
  std::uint32_t root = 0;
};

struct LongValueMaps {
  RowPointer owned;
  RowPointer free;
};

struct TableDefinition {
  char tableType = kUserTable;
  std::uint32_t rowCount = 0;
  const TableLayout* layout = nullptr;
  std::vector<IndexDef> indexes;
  RowPointer ownedPages;
  RowPointer freePages;
  std::vector<LongValueMaps> longValueMaps;  // one per layout.longValueColumns
};

QByteArray SerializeTableDefinition(const TableDefinition& table);

// Writes the definition to `firstPage`, adding continuation pages to the file.
void PlaceTableDefinition(PageFile& file, std::uint32_t firstPage, const QByteArray& definition);

}  // namespace orbo::jet4

#include "query/access/jet4/database_image.h"

#include "query/access/jet4/data_pages.h"
#include "query/access/jet4/header_page.h"
#include "query/access/jet4/index_keys.h"
#include "query/access/jet4/index_tree.h"
#include "query/access/jet4/names.h"
#include "query/access/jet4/system_tables.h"
#include "query/access/jet4/usage_map.h"
#include "query/access/jet4/user_table.h"

namespace orbo::jet4 {

namespace {

constexpr std::uint32_t kHeaderPage = 0;
constexpr std::uint32_t kGlobalMapPage = 1;

// A table while its pages are being filled.
struct TableWork {
  TableWork(PageFile& file, TableLayout tableLayout, std::uint32_t tdef, char type,
            std::vector<IndexDef> tableIndexes)
      : layout(std::move(tableLayout)),
        tdefPage(tdef),
        tableType(type),
        indexes(std::move(tableIndexes)),
        indexPages(indexes.size()),
        data(file, tdef),
        longValues(file, static_cast<int>(layout.longValueColumns.size())) {}

  TableLayout layout;
  std::uint32_t tdefPage;
  char tableType;
  std::vector<IndexDef> indexes;
  std::vector<std::vector<std::uint32_t>> indexPages;
  std::uint32_t rowCount = 0;
  DataPageWriter data;
  LongValueWriter longValues;
};

RowPointer AddRow(TableWork& table, const std::vector<Value>& values) {
  ++table.rowCount;
  return table.data.Add(EncodeRow(table.layout, values, table.longValues));
}

// Only the key types the system indexes use: Long and Text.
QByteArray ColumnKey(const Value& value) {
  if (const auto* number = std::get_if<std::int64_t>(&value))
    return LongKey(static_cast<std::int32_t>(*number));
  if (const auto* text = std::get_if<QString>(&value)) return TextKey(*text);
  return QByteArray(1, '\0');  // Null
}

// Indexes are built once every table's rows are in place, so that the
// data pages come before the index pages.
struct IndexedRows {
  std::vector<std::vector<Value>> rows;
  std::vector<RowPointer> pointers;
};

IndexedRows AddRows(TableWork& table, std::vector<std::vector<Value>> rows) {
  IndexedRows indexed{std::move(rows), {}};
  for (const auto& row : indexed.rows) indexed.pointers.push_back(AddRow(table, row));
  return indexed;
}

void BuildIndexes(PageFile& file, TableWork& table, const IndexedRows& indexed) {
  for (std::size_t i = 0; i < table.indexes.size(); ++i) {
    IndexDef& index = table.indexes[i];
    std::vector<IndexEntry> entries;
    for (std::size_t r = 0; r < indexed.rows.size(); ++r) {
      IndexEntry entry{QByteArray(), indexed.pointers[r]};
      for (int column : index.columns) entry.key += ColumnKey(indexed.rows[r][column]);
      entries.push_back(entry);
    }
    BuiltIndex built = BuildIndex(file, table.tdefPage, std::move(entries));
    index.root = built.root;
    index.distinctKeys = built.distinctKeys;
    table.indexPages[i] = std::move(built.pages);
  }
}

// Every map row of the table, in TDEF order: owned and free pages, one per
// index, then owned and free LVAL pages per long-value column.
TableDefinition WriteUsageMaps(PageFile& file, DataPageWriter& maps, TableWork& table) {
  auto map = [&](const std::vector<std::uint32_t>& pages) {
    return maps.Add(UsageMapRow(pages, file));
  };
  TableDefinition definition;
  definition.tableType = table.tableType;
  definition.rowCount = table.rowCount;
  definition.layout = &table.layout;
  // A fresh table's free-space map lists the same pages as its owned map.
  definition.ownedPages = map(table.data.Pages());
  definition.freePages = map(table.data.Pages());
  for (std::size_t i = 0; i < table.indexes.size(); ++i)
    table.indexes[i].usageMap = map(table.indexPages[i]);
  definition.indexes = table.indexes;
  for (std::size_t lv = 0; lv < table.layout.longValueColumns.size(); ++lv) {
    const RowPointer owned = map(table.longValues.Pages(static_cast<int>(lv)));
    definition.longValueMaps.push_back({owned, map(table.longValues.Pages(static_cast<int>(lv)))});
  }
  return definition;
}

void WriteGlobalMap(PageFile& file) {
  char* page = file.Page(kGlobalMapPage);
  StartDataPage(page, kGlobalMapOwner);
  AddRowToDataPage(page, GlobalMapRow(file.Count()));
  AddRowToDataPage(page, QByteArray(kUsageMapRowSize, '\0'));
}

}  // namespace

std::optional<PageFile> BuildDatabaseImage(const std::vector<Table>& tables, double created) {
  PageFile file;
  file.Add();  // header, written last
  file.Add();  // global map, written once the page count is known

  std::vector<TableWork> work;
  work.reserve(kSystemTableCount + tables.size());
  for (SystemTable& system : SystemTables())
    work.emplace_back(file, LayOut(std::move(system.columns)), file.Add(), kSystemTable,
                      std::move(system.indexes));

  std::vector<QString> requestedNames;
  for (const Table& table : tables) requestedNames.push_back(table.name);
  const std::vector<QString> names = AcceptableTableNames(requestedNames);
  std::vector<UserTable> userTables;
  std::vector<UserTableEntry> catalogEntries;
  for (std::size_t t = 0; t < tables.size(); ++t) {
    userTables.push_back(PrepareUserTable(tables[t], names[t]));
    const std::uint32_t tdefPage = file.Add();
    catalogEntries.push_back({names[t], static_cast<std::int32_t>(tdefPage)});
    work.emplace_back(file, userTables.back().layout, tdefPage, kUserTable,
                      std::vector<IndexDef>());
  }

  const std::vector<IndexedRows> systemRows = {
      AddRows(work[0], CatalogRows(catalogEntries, created)),
      AddRows(work[1], AceRows(catalogEntries)), IndexedRows(), IndexedRows()};
  for (std::size_t t = 0; t < userTables.size(); ++t) {
    TableWork& table = work[kSystemTableCount + t];
    for (std::size_t r = 0; r < tables[t].rows.size(); ++r) {
      AddRow(table, RowValues(userTables[t], r));
      if (file.Count() > kMaxPages) return std::nullopt;
    }
  }

  for (int t = 0; t < kSystemTableCount; ++t) BuildIndexes(file, work[t], systemRows[t]);

  DataPageWriter maps(file, kUsageMapOwner);
  std::vector<TableDefinition> definitions;
  for (TableWork& table : work) definitions.push_back(WriteUsageMaps(file, maps, table));
  for (std::size_t t = 0; t < work.size(); ++t)
    PlaceTableDefinition(file, work[t].tdefPage, SerializeTableDefinition(definitions[t]));
  if (file.Count() > kMaxPages) return std::nullopt;

  WriteGlobalMap(file);
  const QByteArray header = HeaderPage(created);
  std::copy(header.begin(), header.end(), file.Page(kHeaderPage));
  return file;
}

}  // namespace orbo::jet4

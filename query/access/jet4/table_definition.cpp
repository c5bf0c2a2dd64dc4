#include "query/access/jet4/table_definition.h"

#include <algorithm>
#include <cstring>

#include "query/access/jet4/index_keys.h"
#include "query/access/jet4/page_bytes.h"
#include "query/access/jet4/text_encoding.h"

namespace orbo::jet4 {

namespace {

constexpr std::uint32_t kDescriptorMagic = 1625;
constexpr std::uint32_t kRealIndexMagic = 1923;
constexpr int kIndexColumnSlots = 10;
constexpr int kPageHeader = 8;

void AppendName(QByteArray& out, const QString& name) {
  const QByteArray bytes = EncodeUcs2(name);
  AppendU16(out, bytes.size());
  out.append(bytes);
}

void AppendSortOrder(QByteArray& out) {
  AppendU16(out, kSortOrderLcid);
  AppendU16(out, 0);  // sort version 0: "General (legacy)"
}

void AppendColumnDescriptor(QByteArray& out, const TableLayout& layout, int number) {
  const ColumnDef& column = layout.columns[number];
  AppendU8(out, static_cast<std::uint8_t>(column.type));
  AppendU32(out, kDescriptorMagic);
  AppendU16(out, number);
  AppendU16(out, layout.places[number].variableIndex);
  AppendU16(out, number);
  AppendSortOrder(out);
  AppendU8(out, column.flags);
  AppendU8(out, column.extraFlags);
  AppendU32(out, 0);
  AppendU16(out, layout.places[number].fixedOffset);
  AppendU16(out, DescriptorLength(column.type));
}

void AppendRealIndex(QByteArray& out, const IndexDef& index) {
  AppendU32(out, kRealIndexMagic);
  for (int slot = 0; slot < kIndexColumnSlots; ++slot) {
    const bool used = slot < static_cast<int>(index.columns.size());
    AppendU16(out, used ? index.columns[slot] : 0xFFFF);
    AppendU8(out, used ? 1 : 0);  // ascending
  }
  AppendU32(out, index.usageMap.Packed());
  AppendU32(out, index.root);
  AppendU32(out, 0);
  AppendU8(out, index.flags);
  out.append(5, '\0');
}

void AppendLogicalIndex(QByteArray& out, const IndexDef& index, int number) {
  AppendU32(out, kDescriptorMagic);
  AppendU32(out, number);
  AppendU32(out, number);  // its real index
  AppendU8(out, 0);
  AppendU32(out, 0xFFFFFFFFu);  // no related index
  AppendU32(out, 0);
  AppendU8(out, 0);
  AppendU8(out, 0);
  AppendU8(out, index.logicalType);
  AppendU32(out, 0);
}

}  // namespace

QByteArray SerializeTableDefinition(const TableDefinition& table) {
  const TableLayout& layout = *table.layout;
  const int columnCount = static_cast<int>(layout.columns.size());
  const int indexCount = static_cast<int>(table.indexes.size());
  QByteArray out;
  AppendU16(out, 0x0102);
  AppendU16(out, 0);  // free space, set below
  AppendU32(out, 0);  // next page, set when placed
  AppendU32(out, 0);  // length, set below
  AppendU32(out, kDescriptorMagic);
  AppendU32(out, table.rowCount);
  AppendU32(out, 0);  // next autonumber
  AppendU32(out, 1);  // autonumber works
  out.append(12, '\0');
  AppendU8(out, static_cast<std::uint8_t>(table.tableType));
  AppendU16(out, columnCount);
  AppendU16(out, layout.variableCount);
  AppendU16(out, columnCount);
  AppendU32(out, indexCount);
  AppendU32(out, indexCount);
  AppendU32(out, table.ownedPages.Packed());
  AppendU32(out, table.freePages.Packed());
  for (const IndexDef& index : table.indexes) {
    AppendU32(out, 0);
    AppendU32(out, index.distinctKeys);
    AppendU32(out, 0);
  }
  for (int i = 0; i < columnCount; ++i) AppendColumnDescriptor(out, layout, i);
  for (const ColumnDef& column : layout.columns) AppendName(out, column.name);
  for (const IndexDef& index : table.indexes) AppendRealIndex(out, index);
  for (int i = 0; i < indexCount; ++i) AppendLogicalIndex(out, table.indexes[i], i);
  for (const IndexDef& index : table.indexes) AppendName(out, index.name);
  for (std::size_t lv = 0; lv < layout.longValueColumns.size(); ++lv) {
    AppendU16(out, layout.longValueColumns[lv]);
    AppendU32(out, table.longValueMaps[lv].owned.Packed());
    AppendU32(out, table.longValueMaps[lv].free.Packed());
  }
  AppendU16(out, 0xFFFF);
  SetU16(out.data() + 2, std::max<int>(kPageSize - static_cast<int>(out.size()) - kPageHeader, 0));
  SetU32(out.data() + 8, out.size());
  return out;
}

void PlaceTableDefinition(PageFile& file, std::uint32_t firstPage, const QByteArray& definition) {
  const qsizetype firstPart = std::min<qsizetype>(definition.size(), kPageSize);
  std::memcpy(file.Page(firstPage), definition.constData(), firstPart);
  std::uint32_t previous = firstPage;
  for (qsizetype at = firstPart; at < definition.size(); at += kPageSize - kPageHeader) {
    const qsizetype part = std::min<qsizetype>(definition.size() - at, kPageSize - kPageHeader);
    const std::uint32_t page = file.Add();
    char* p = file.Page(page);
    p[0] = 0x02;
    p[1] = 0x01;
    SetU16(p + 2, kPageSize - kPageHeader - static_cast<int>(part));
    std::memcpy(p + kPageHeader, definition.constData() + at, part);
    SetU32(file.Page(previous) + 4, page);
    previous = page;
  }
}

}  // namespace orbo::jet4

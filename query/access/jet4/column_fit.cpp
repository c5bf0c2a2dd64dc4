#include "query/access/jet4/column_fit.h"

#include <algorithm>

#include "query/access/jet4/long_values.h"
#include "query/access/jet4/row_encoding.h"
#include "query/access/jet4/text_encoding.h"

namespace orbo::jet4 {

namespace {

// The row overhead depends only on the column count, the Booleans and the
// number of variable columns, which Text to Memo does not change.
int Overhead(const std::vector<ColumnType>& types) {
  std::vector<ColumnDef> columns;
  for (ColumnType type : types) columns.push_back({QString(), static_cast<JetType>(type)});
  return RowOverhead(LayOut(std::move(columns)));
}

int MemoInRow(const Cell& cell) { return cell.text.isEmpty() ? 0 : kLongValueHeaderSize; }

// Converts the largest Text values of the row until it fits; true if any.
bool FitRow(const std::vector<Cell>& row, std::vector<ColumnType>& types, int overhead) {
  int roughSize = overhead;
  for (std::size_t c = 0; c < types.size(); ++c) {
    if (types[c] == ColumnType::Text) roughSize += 2 * static_cast<int>(row[c].text.size());
    if (types[c] == ColumnType::Memo) roughSize += MemoInRow(row[c]);
  }
  if (roughSize <= kMaxRowSize) return false;
  std::vector<int> textSize(types.size(), 0);
  int size = overhead;
  for (std::size_t c = 0; c < types.size(); ++c) {
    if (types[c] == ColumnType::Text) textSize[c] = EncodeText(row[c].text, true).size();
    if (types[c] == ColumnType::Memo) size += MemoInRow(row[c]);
    size += textSize[c];
  }
  bool changed = false;
  while (size > kMaxRowSize) {
    const auto largest = std::max_element(textSize.begin(), textSize.end()) - textSize.begin();
    if (types[largest] != ColumnType::Text) break;
    types[largest] = ColumnType::Memo;
    size += MemoInRow(row[largest]) - textSize[largest];
    textSize[largest] = 0;
    changed = true;
  }
  return changed;
}

}  // namespace

std::vector<ColumnType> StoredColumnTypes(const Table& table) {
  std::vector<ColumnType> types;
  for (const Column& column : table.columns) types.push_back(column.type);
  for (const auto& row : table.rows)
    for (std::size_t c = 0; c < types.size(); ++c)
      if (types[c] == ColumnType::Text && row[c].text.size() > kMaxTextLength)
        types[c] = ColumnType::Memo;
  const int overhead = Overhead(types);
  for (bool changed = true; changed;) {
    changed = false;
    for (const auto& row : table.rows) changed = FitRow(row, types, overhead) || changed;
  }
  return types;
}

}  // namespace orbo::jet4

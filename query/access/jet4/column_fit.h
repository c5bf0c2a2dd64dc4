// Which type each column is stored as. Jet Text holds at most 255
// characters and a row at most kMaxRowSize bytes, while a Memo keeps only a
// 12-byte header in the row; so a Text column with a longer value, or whose
// values overfill a row, is stored as Memo.
#pragma once

#include <vector>

#include "query/access/jet4/jet4_writer.h"

namespace orbo::jet4 {

inline constexpr int kMaxTextLength = 255;

std::vector<ColumnType> StoredColumnTypes(const Table& table);

}  // namespace orbo::jet4

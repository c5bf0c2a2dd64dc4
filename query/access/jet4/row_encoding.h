// One table row in the Jet 4 layout: column count, fixed area, variable
// data, end offset, reversed offset table, variable count, null mask.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <variant>
#include <vector>

#include "query/access/jet4/column_layout.h"
#include "query/access/jet4/long_values.h"

namespace orbo::jet4 {

// Integers for Byte/Integer/Long and Currency (in ten-thousandths), double
// for DateTime, bool for Boolean,
// QString for Text/Memo, QByteArray for Binary/OLE; monostate is NULL.
using Value = std::variant<std::monostate, std::int64_t, double, bool, QString, QByteArray>;

inline constexpr int kMaxRowSize = 4060;

// Everything in a row but the variable data itself.
int RowOverhead(const TableLayout& layout);

// Long values go inline while small and while the row stays within
// kMaxRowSize; the rest go to the LVAL pages through `longValues`. The
// caller keeps the other variable data small enough for that to work.
QByteArray EncodeRow(const TableLayout& layout, const std::vector<Value>& values,
                     LongValueWriter& longValues);

}  // namespace orbo::jet4

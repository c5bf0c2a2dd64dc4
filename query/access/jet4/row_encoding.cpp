#include "query/access/jet4/row_encoding.h"

#include "query/access/jet4/page_bytes.h"
#include "query/access/jet4/text_encoding.h"

namespace orbo::jet4 {

namespace {

int NullMaskSize(const TableLayout& layout) {
  return (static_cast<int>(layout.columns.size()) + 7) / 8;
}

QByteArray VariableBytes(const ColumnDef& column, const Value& value) {
  if (const auto* text = std::get_if<QString>(&value))
    return EncodeText(*text, column.extraFlags & kExtraCompressible);
  return std::get<QByteArray>(value);
}

void WriteFixed(char* at, JetType type, const Value& value) {
  switch (type) {
    case JetType::Byte:
      at[0] = static_cast<char>(std::get<std::int64_t>(value));
      break;
    case JetType::Integer:
      SetU16(at, static_cast<std::uint32_t>(std::get<std::int64_t>(value)));
      break;
    case JetType::Long:
      SetU32(at, static_cast<std::uint32_t>(std::get<std::int64_t>(value)));
      break;
    case JetType::Currency: {
      const auto bits = static_cast<std::uint64_t>(std::get<std::int64_t>(value));
      SetU32(at, static_cast<std::uint32_t>(bits));
      SetU32(at + 4, static_cast<std::uint32_t>(bits >> 32));
      break;
    }
    case JetType::DateTime:
      SetDouble(at, std::get<double>(value));
      break;
    default:
      break;
  }
}

}  // namespace

int RowOverhead(const TableLayout& layout) {
  const int variablePart = layout.variableCount > 0 ? 4 + 2 * layout.variableCount : 0;
  return 2 + layout.fixedAreaSize + variablePart + NullMaskSize(layout);
}

QByteArray EncodeRow(const TableLayout& layout, const std::vector<Value>& values,
                     LongValueWriter& longValues) {
  const int columnCount = static_cast<int>(layout.columns.size());
  QByteArray nullMask(NullMaskSize(layout), '\0');
  QByteArray fixed(layout.fixedAreaSize, '\0');
  std::vector<QByteArray> variable(layout.variableCount);
  std::vector<bool> present(columnCount);
  int size = RowOverhead(layout);
  for (int i = 0; i < columnCount; ++i) {
    const ColumnDef& column = layout.columns[i];
    const Value& value = values[i];
    present[i] = column.type == JetType::Boolean
                     ? std::get_if<bool>(&value) && std::get<bool>(value)
                     : !std::holds_alternative<std::monostate>(value);
    if (!present[i]) continue;
    if (IsVariable(column.type)) {
      QByteArray& data = variable[layout.places[i].variableIndex];
      data = VariableBytes(column, value);
      // Long values count as their header until they are placed below.
      size += IsLongValue(column.type) ? kLongValueHeaderSize : static_cast<int>(data.size());
    } else {
      WriteFixed(fixed.data() + layout.places[i].fixedOffset, column.type, value);
    }
  }
  for (int lv = 0; lv < static_cast<int>(layout.longValueColumns.size()); ++lv) {
    const int i = layout.longValueColumns[lv];
    if (!present[i]) continue;
    QByteArray& data = variable[layout.places[i].variableIndex];
    if (data.size() <= kMaxInlineLongValue && size + data.size() <= kMaxRowSize) {
      size += static_cast<int>(data.size());
      data = InlineLongValue(data);
    } else {
      data = longValues.StoreOutOfRow(lv, data);
    }
  }

  QByteArray row;
  row.reserve(size);
  AppendU16(row, columnCount);
  row.append(fixed);
  std::vector<int> starts;
  for (const QByteArray& data : variable) {
    starts.push_back(static_cast<int>(row.size()));
    row.append(data);
  }
  if (layout.variableCount > 0) {
    AppendU16(row, row.size());
    for (auto start = starts.rbegin(); start != starts.rend(); ++start) AppendU16(row, *start);
    AppendU16(row, layout.variableCount);
  }
  for (int i = 0; i < columnCount; ++i)
    if (present[i]) nullMask[i / 8] = static_cast<char>(nullMask[i / 8] | 1 << (i % 8));
  row.append(nullMask);
  return row;
}

}  // namespace orbo::jet4

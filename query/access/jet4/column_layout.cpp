#include "query/access/jet4/column_layout.h"

#include <algorithm>

namespace orbo::jet4 {

bool IsLongValue(JetType type) { return type == JetType::Memo || type == JetType::Ole; }

bool IsVariable(JetType type) {
  return type == JetType::Binary || type == JetType::Text || IsLongValue(type);
}

int FixedSize(JetType type) {
  switch (type) {
    case JetType::Byte:
      return 1;
    case JetType::Integer:
      return 2;
    case JetType::Long:
      return 4;
    case JetType::Currency:
    case JetType::DateTime:
      return 8;
    default:
      return 0;
  }
}

int DescriptorLength(JetType type) {
  switch (type) {
    case JetType::Boolean:
      return 1;
    case JetType::Binary:
    case JetType::Text:
      return 510;
    case JetType::Memo:
    case JetType::Ole:
      return 0;
    default:
      return FixedSize(type);
  }
}

TableLayout LayOut(std::vector<ColumnDef> columns) {
  TableLayout layout;
  bool hasBoolean = false;
  for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
    const JetType type = columns[i].type;
    ColumnSlot slot;
    slot.variableIndex = layout.variableCount;
    if (IsVariable(type)) {
      ++layout.variableCount;
    } else {
      hasBoolean = hasBoolean || type == JetType::Boolean;
      if (type != JetType::Boolean) slot.fixedOffset = layout.fixedAreaSize;
      layout.fixedAreaSize += FixedSize(type);
    }
    if (IsLongValue(type)) layout.longValueColumns.push_back(i);
    layout.places.push_back(slot);
  }
  // A table whose only fixed columns are Booleans still gets a one-byte area.
  if (hasBoolean) layout.fixedAreaSize = std::max(layout.fixedAreaSize, 1);
  layout.columns = std::move(columns);
  return layout;
}

}  // namespace orbo::jet4

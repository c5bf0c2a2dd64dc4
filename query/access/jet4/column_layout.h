// The columns of a table as stored: Jet type, flags and where each value
// sits in a row. Shared by the system tables and the user tables.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace orbo::jet4 {

enum class JetType : std::uint8_t {
  Boolean = 0x01,
  Byte = 0x02,
  Integer = 0x03,
  Long = 0x04,
  Currency = 0x05,
  DateTime = 0x08,
  Binary = 0x09,
  Text = 0x0A,
  Ole = 0x0B,
  Memo = 0x0C,
};

inline constexpr std::uint8_t kFlagFixed = 0x01;
inline constexpr std::uint8_t kFlagUpdatable = 0x02;
inline constexpr std::uint8_t kExtraCompressible = 0x01;

struct ColumnDef {
  QString name;
  JetType type = JetType::Text;
  std::uint8_t flags = kFlagUpdatable;
  std::uint8_t extraFlags = 0;
};

bool IsLongValue(JetType type);
bool IsVariable(JetType type);  // stored after the fixed area, with an offset
// Bytes in the fixed area (Boolean lives in the null mask: 0).
int FixedSize(JetType type);
// The length in the column descriptor.
int DescriptorLength(JetType type);

struct ColumnSlot {
  int fixedOffset = 0;    // in the fixed area, for fixed columns
  int variableIndex = 0;  // the slot for variable columns; variables before it otherwise
};

struct TableLayout {
  std::vector<ColumnDef> columns;
  std::vector<ColumnSlot> places;
  int fixedAreaSize = 0;
  int variableCount = 0;
  std::vector<int> longValueColumns;  // column numbers of Memo and OLE columns
};

TableLayout LayOut(std::vector<ColumnDef> columns);

}  // namespace orbo::jet4

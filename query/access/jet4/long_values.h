// Memo and OLE values: a 12-byte header in the row, the data either inline
// after it, in one row of an LVAL page, or in a chain of LVAL rows.
#pragma once

#include <QByteArray>
#include <vector>

#include "query/access/jet4/data_pages.h"

namespace orbo::jet4 {

// Jet inlines small values; larger ones would crowd the row out.
inline constexpr int kMaxInlineLongValue = 64;
inline constexpr int kLongValueHeaderSize = 12;
inline constexpr int kMaxSingleLongValue = 4076;
inline constexpr int kChainChunk = 4072;

QByteArray InlineLongValue(const QByteArray& data);

// Each Memo/OLE column keeps its own LVAL pages (listed in its usage maps).
class LongValueWriter {
 public:
  LongValueWriter(PageFile& file, int longValueColumns);
  // Stores the data on the column's LVAL pages and returns the row's header.
  QByteArray StoreOutOfRow(int longValueIndex, const QByteArray& data);
  const std::vector<std::uint32_t>& Pages(int longValueIndex) const {
    return pages_[longValueIndex].Pages();
  }

 private:
  std::vector<DataPageWriter> pages_;
};

}  // namespace orbo::jet4

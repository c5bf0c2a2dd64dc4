#include "query/access/jet4/long_values.h"

#include "query/access/jet4/page_bytes.h"

namespace orbo::jet4 {

namespace {

constexpr std::uint32_t kInline = 0x80000000u;
constexpr std::uint32_t kSingleRow = 0x40000000u;

QByteArray Header(std::uint32_t lengthAndFlag, RowPointer first) {
  QByteArray header;
  AppendU32(header, lengthAndFlag);
  AppendU32(header, first.Packed());
  AppendU32(header, 0);
  return header;
}

}  // namespace

QByteArray InlineLongValue(const QByteArray& data) {
  return Header(static_cast<std::uint32_t>(data.size()) | kInline, {}) + data;
}

LongValueWriter::LongValueWriter(PageFile& file, int longValueColumns) {
  pages_.reserve(longValueColumns);
  for (int i = 0; i < longValueColumns; ++i) pages_.emplace_back(file, kLongValueOwner);
}

QByteArray LongValueWriter::StoreOutOfRow(int longValueIndex, const QByteArray& data) {
  DataPageWriter& pages = pages_[longValueIndex];
  const auto length = static_cast<std::uint32_t>(data.size());
  if (data.size() <= kMaxSingleLongValue) return Header(length | kSingleRow, pages.Add(data));
  // Written last chunk first, so each chunk knows the pointer to the next.
  RowPointer next;
  bool last = true;
  for (qsizetype chunkStart = (data.size() - 1) / kChainChunk * kChainChunk; chunkStart >= 0;
       chunkStart -= kChainChunk) {
    QByteArray row;
    AppendU32(row, last ? 0 : next.Packed());
    row.append(data.mid(chunkStart, kChainChunk));
    next = pages.Add(row);
    last = false;
  }
  return Header(length, next);
}

}  // namespace orbo::jet4

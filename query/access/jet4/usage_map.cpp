#include "query/access/jet4/usage_map.h"

#include "query/access/jet4/page_bytes.h"

namespace orbo::jet4 {

namespace {

constexpr std::uint32_t kInlineBits = 512;
constexpr std::uint32_t kReferenceBits = (kPageSize - 4) * 8;
constexpr int kMaxReferencePages = 17;

void SetBit(char* bitmap, std::uint32_t bit) {
  bitmap[bit / 8] = static_cast<char>(bitmap[bit / 8] | 1 << (bit % 8));
}

QByteArray InlineMap(std::uint32_t start) {
  QByteArray row(kUsageMapRowSize, '\0');
  SetU32(row.data() + 1, start);
  return row;
}

}  // namespace

QByteArray UsageMapRow(const std::vector<std::uint32_t>& pages, PageFile& file) {
  if (pages.empty()) return QByteArray(kUsageMapRowSize, '\0');
  const std::uint32_t start = pages.front() / 8 * 8;
  if (pages.back() - start < kInlineBits) {
    QByteArray row = InlineMap(start);
    for (std::uint32_t page : pages) SetBit(row.data() + 5, page - start);
    return row;
  }
  QByteArray row(kUsageMapRowSize, '\0');
  row[0] = 0x01;
  std::vector<std::uint32_t> bitmapPages(kMaxReferencePages, 0);
  for (std::uint32_t page : pages) {
    std::uint32_t& bitmapPage = bitmapPages[page / kReferenceBits];
    if (bitmapPage == 0) {
      bitmapPage = file.Add();
      file.Page(bitmapPage)[0] = 0x05;
      file.Page(bitmapPage)[1] = 0x01;
    }
    SetBit(file.Page(bitmapPage) + 4, page % kReferenceBits);
  }
  for (int k = 0; k < kMaxReferencePages; ++k) SetU32(row.data() + 1 + 4 * k, bitmapPages[k]);
  return row;
}

QByteArray GlobalMapRow(std::uint32_t pageCount) {
  // Past one window, the window moves to the end of the file; readers take
  // the pages before it as used.
  const std::uint32_t start = pageCount < kInlineBits ? 0 : pageCount / 8 * 8;
  QByteArray row = InlineMap(start);
  for (std::uint32_t bit = pageCount - start; bit < kInlineBits; ++bit) SetBit(row.data() + 5, bit);
  return row;
}

}  // namespace orbo::jet4

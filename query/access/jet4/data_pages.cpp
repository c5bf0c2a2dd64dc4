#include "query/access/jet4/data_pages.h"

#include <cstring>

namespace orbo::jet4 {

namespace {

int RowCount(const char* page) {
  return static_cast<unsigned char>(page[12]) | static_cast<unsigned char>(page[13]) << 8;
}

int RowOffset(const char* page, int row) {
  const char* at = page + kDataPageHeaderSize + 2 * row;
  return static_cast<unsigned char>(at[0]) | static_cast<unsigned char>(at[1]) << 8;
}

}  // namespace

void StartDataPage(char* page, std::uint32_t owner) {
  page[0] = 0x01;
  page[1] = 0x01;
  SetU16(page + 2, kPageSize - kDataPageHeaderSize);
  SetU32(page + 4, owner);
}

int DataPageFreeSpace(const char* page) {
  return static_cast<unsigned char>(page[2]) | static_cast<unsigned char>(page[3]) << 8;
}

std::uint8_t AddRowToDataPage(char* page, const QByteArray& row) {
  const int count = RowCount(page);
  const int end = count == 0 ? kPageSize : RowOffset(page, count - 1);
  const int start = end - static_cast<int>(row.size());
  std::memcpy(page + start, row.constData(), row.size());
  SetU16(page + kDataPageHeaderSize + 2 * count, start);
  SetU16(page + 12, count + 1);
  SetU16(page + 2, DataPageFreeSpace(page) - static_cast<int>(row.size()) - 2);
  return static_cast<std::uint8_t>(count);
}

RowPointer DataPageWriter::Add(const QByteArray& row) {
  const bool fits = !pages_.empty() && RowCount(file_->Page(pages_.back())) < kMaxRowsPerPage &&
                    DataPageFreeSpace(file_->Page(pages_.back())) >= row.size() + 2;
  if (!fits) {
    pages_.push_back(file_->Add());
    StartDataPage(file_->Page(pages_.back()), owner_);
  }
  return {pages_.back(), AddRowToDataPage(file_->Page(pages_.back()), row)};
}

}  // namespace orbo::jet4

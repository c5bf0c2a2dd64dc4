// Data pages: rows packed from the end of the page downwards, with the row
// offsets after a 14-byte header. Table rows, long values and usage maps all
// live on such pages, told apart by the owner field.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

#include "query/access/jet4/page_file.h"

namespace orbo::jet4 {

inline constexpr int kMaxRowsPerPage = 255;
inline constexpr int kDataPageHeaderSize = 14;
// The largest row one page can take: the page less its header and one offset.
inline constexpr int kMaxRowOnPage = kPageSize - kDataPageHeaderSize - 2;
inline constexpr std::uint32_t kLongValueOwner = 0x4C41564C;  // "LVAL"
inline constexpr std::uint32_t kUsageMapOwner = 0;
inline constexpr std::uint32_t kGlobalMapOwner = 1;

void StartDataPage(char* page, std::uint32_t owner);
int DataPageFreeSpace(const char* page);
// Adds a row that fits (see DataPageFreeSpace) and returns its slot.
std::uint8_t AddRowToDataPage(char* page, const QByteArray& row);

// Fills data pages of one owner, starting a new page when a row does not fit.
class DataPageWriter {
 public:
  DataPageWriter(PageFile& file, std::uint32_t owner) : file_(&file), owner_(owner) {}
  RowPointer Add(const QByteArray& row);
  const std::vector<std::uint32_t>& Pages() const { return pages_; }

 private:
  PageFile* file_;
  std::uint32_t owner_;
  std::vector<std::uint32_t> pages_;
};

}  // namespace orbo::jet4

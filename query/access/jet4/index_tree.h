// B-trees of index pages built bottom-up from all entries at once: full
// leaves linked in order, then node levels until one root page remains.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

#include "query/access/jet4/page_file.h"

namespace orbo::jet4 {

struct IndexEntry {
  QByteArray key;
  RowPointer row;
};

struct BuiltIndex {
  std::uint32_t root = 0;
  std::vector<std::uint32_t> pages;  // every page of the tree, ascending
  std::uint32_t distinctKeys = 0;
};

inline constexpr int kIndexEntriesStart = 0x1E0;

BuiltIndex BuildIndex(PageFile& file, std::uint32_t tdefPage, std::vector<IndexEntry> entries);

}  // namespace orbo::jet4

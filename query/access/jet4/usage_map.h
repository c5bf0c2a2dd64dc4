// Usage maps: 69-byte rows listing pages, inline (one 512-page window) or
// by reference (type-05 bitmap pages, 32736 pages each).
#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

#include "query/access/jet4/page_file.h"

namespace orbo::jet4 {

inline constexpr int kUsageMapRowSize = 69;

// The map row for `pages` (sorted); adds type-05 pages to `file` when the
// pages span 512 or more.
QByteArray UsageMapRow(const std::vector<std::uint32_t>& pages, PageFile& file);

// Page 1's map, where a set bit means free: every page before `pageCount`
// is used, every page after it free.
QByteArray GlobalMapRow(std::uint32_t pageCount);

}  // namespace orbo::jet4

// Lays out a whole database in memory: page 0 and the global map, the
// system tables with the catalog and its indexes, the user tables, their
// long values and all usage maps.
#pragma once

#include <optional>
#include <vector>

#include "query/access/jet4/jet4_writer.h"
#include "query/access/jet4/page_file.h"

namespace orbo::jet4 {

// Jet's 2 GB limit.
inline constexpr std::uint32_t kMaxPages = 524288;

// The file's pages, or nothing when they would pass kMaxPages. The tables
// must have been checked (column and cell counts).
std::optional<PageFile> BuildDatabaseImage(const std::vector<Table>& tables, double created);

}  // namespace orbo::jet4

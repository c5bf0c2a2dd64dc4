// The quadratic sorts whose orders the fast ones must give, written plainly:
// the reference of the sort tests and the yardstick of the sort benchmark.
#pragma once

#include <QString>
#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

namespace orbo::plain {

// Selection sort: the first smallest remaining key is exchanged into place.
inline std::vector<int> RecordSortOrder(const std::vector<QString>& keys, bool ascending) {
  std::vector<std::pair<QString, int>> list;
  for (int i = 0; i < static_cast<int>(keys.size()); ++i) list.emplace_back(keys[i], i);
  const std::size_t n = list.size();
  for (std::size_t i = 0; i < n; ++i) {
    std::size_t m = i;
    for (std::size_t j = i + 1; j < n; ++j) {
      if (list[j].first < list[m].first) m = j;
    }
    std::swap(list[i], list[m]);
  }
  if (!ascending) std::reverse(list.begin(), list.end());
  std::vector<int> order;
  for (const auto& entry : list) order.push_back(entry.second);
  return order;
}

// n full passes of neighbour exchanges; ascending exchanges equal neighbours.
inline std::vector<int> FolderSortOrder(const std::vector<QString>& keys, bool ascending) {
  std::vector<int> order(keys.size());
  std::iota(order.begin(), order.end(), 0);
  const std::size_t n = order.size();
  for (std::size_t pass = 0; pass < n; ++pass) {
    for (std::size_t j = 0; j + 1 < n; ++j) {
      const bool less = keys[order[j]] < keys[order[j + 1]];
      if (ascending ? !less : less) std::swap(order[j], order[j + 1]);
    }
  }
  return order;
}

}  // namespace orbo::plain

#include "storage/sort_logic.h"

#include <algorithm>
#include <numeric>

#include "storage/navigation_logic.h"
#include "storage/position_key_tree.h"
#include "storage/record_title.h"

namespace orbo {
namespace {

// Equal keys get equal ranks; keys compare by character code.
std::vector<int> DenseRanks(const std::vector<QString>& keys) {
  std::vector<int> byKey(keys.size());
  std::iota(byKey.begin(), byKey.end(), 0);
  std::stable_sort(byKey.begin(), byKey.end(), [&](int a, int b) { return keys[a] < keys[b]; });
  std::vector<int> ranks(keys.size());
  int rank = 0;
  for (std::size_t i = 0; i < byKey.size(); ++i) {
    if (i > 0 && keys[byKey[i - 1]] < keys[byKey[i]]) ++rank;
    ranks[byKey[i]] = rank;
  }
  return ranks;
}

// Counts per position, with the prefix sums and the k-th free position
// the exchange sort's reconstruction needs.
class Fenwick {
 public:
  explicit Fenwick(int size) : tree_(static_cast<std::size_t>(size) + 1, 0) {}
  void Add(int position, int delta) {
    for (auto i = static_cast<std::size_t>(position) + 1; i < tree_.size(); i += i & (~i + 1))
      tree_[i] += delta;
  }
  // Sum over positions 0..position.
  int Prefix(int position) const {
    int sum = 0;
    for (auto i = static_cast<std::size_t>(position) + 1; i > 0; i -= i & (~i + 1)) sum += tree_[i];
    return sum;
  }
  // The position where the prefix sum first exceeds k.
  int Find(int k) const {
    std::size_t at = 0;
    std::size_t step = 1;
    while (step * 2 < tree_.size()) step *= 2;
    for (; step > 0; step /= 2) {
      if (at + step < tree_.size() && tree_[at + step] <= k) {
        at += step;
        k -= tree_[at];
      }
    }
    return static_cast<int>(at);
  }

 private:
  std::vector<int> tree_;
};

// The order in which the exchange sort leaves one group of equal keys.
// The keys move as in a stable bubble sort, so the group's positions are
// known; only the labels differ, because equal neighbours always exchange.
// In a pass the group's first member, once no larger key precedes it,
// carries its label past every member that has no larger key before it
// either: the labels of those members rotate by one. A member joins that
// rotation in the pass after the last larger key has passed it, that is in
// pass greater + 1. The rotating members behave as a queue that rotates once
// a pass and takes newcomers at its back; the insertion places are worked
// out first and resolved afterwards, so the group costs m log m.
std::vector<int> GroupOrder(const std::vector<int>& members, const std::vector<int>& greater,
                            int passes) {
  const int m = static_cast<int>(members.size());
  std::vector<int> insertAt(static_cast<std::size_t>(m));
  long long size = 0;
  long long head = 0;  // of the queue, in the list the insertions build
  long long lastPass = 0;
  for (int i = 0; i < m;) {
    const long long pass =
        greater[static_cast<std::size_t>(members[static_cast<std::size_t>(i)])] + 1LL;
    if (size > 0) head = (head + pass - lastPass) % size;
    int joined = 0;
    for (; i < m &&
           greater[static_cast<std::size_t>(members[static_cast<std::size_t>(i)])] + 1LL == pass;
         ++i) {
      insertAt[static_cast<std::size_t>(i)] = static_cast<int>(head) + joined++;
    }
    head += joined;
    size += joined;
    lastPass = pass;
  }
  head = (head + passes - lastPass + 1) % size;

  // Later insertions shift earlier ones: resolved from the last, each takes
  // the free place of its index.
  Fenwick free(m);
  for (int p = 0; p < m; ++p) free.Add(p, 1);
  std::vector<int> list(static_cast<std::size_t>(m));
  for (int i = m - 1; i >= 0; --i) {
    const int place = free.Find(insertAt[static_cast<std::size_t>(i)]);
    list[static_cast<std::size_t>(place)] = members[static_cast<std::size_t>(i)];
    free.Add(place, -1);
  }
  std::rotate(list.begin(), list.begin() + head, list.end());
  return list;
}

}  // namespace

std::vector<int> RecordSortOrder(const std::vector<QString>& keys, bool ascending) {
  const std::vector<int> ranks = DenseRanks(keys);
  std::vector<int> order(keys.size());
  std::iota(order.begin(), order.end(), 0);
  // The tree holds the rank of the entry at each place still to be sorted.
  PositionKeyTree remaining(ranks);
  for (std::size_t i = 0; i < order.size(); ++i) {
    const auto smallest = static_cast<std::size_t>(remaining.LeftmostAtMost(remaining.Minimum()));
    if (smallest != i) {
      std::swap(order[i], order[smallest]);
      remaining.Set(static_cast<int>(smallest), ranks[static_cast<std::size_t>(order[smallest])]);
    }
    remaining.Set(static_cast<int>(i), PositionKeyTree::kNone);
  }
  if (!ascending) std::reverse(order.begin(), order.end());
  return order;
}

std::vector<int> FolderSortOrder(const std::vector<QString>& keys, bool ascending) {
  std::vector<int> order(keys.size());
  std::iota(order.begin(), order.end(), 0);
  if (!ascending) {
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[b] < keys[a]; });
    return order;
  }
  const std::vector<int> ranks = DenseRanks(keys);
  const int n = static_cast<int>(keys.size());
  const int distinct = n == 0 ? 0 : *std::max_element(ranks.begin(), ranks.end()) + 1;
  // How many larger keys precede each key, and the groups of equal keys.
  std::vector<int> greater(keys.size());
  std::vector<std::vector<int>> groups(static_cast<std::size_t>(distinct));
  Fenwick seen(distinct);
  for (int i = 0; i < n; ++i) {
    const int rank = ranks[static_cast<std::size_t>(i)];
    greater[static_cast<std::size_t>(i)] = i - seen.Prefix(rank);
    seen.Add(rank, 1);
    groups[static_cast<std::size_t>(rank)].push_back(i);
  }
  order.clear();
  for (const std::vector<int>& group : groups) {
    const std::vector<int> members = GroupOrder(group, greater, n);
    order.insert(order.end(), members.begin(), members.end());
  }
  return order;
}

SlotPermutation RecordSortPermutation(const Database& db, int folder, bool ascending) {
  SlotPermutation permutation{SlotPermutation::Table::kRecords, RecordsOf(db, folder), {}};
  std::vector<QString> keys;
  keys.reserve(permutation.places.size());
  for (int slot : permutation.places) keys.push_back(RecordTitle(db, slot).toLower());
  permutation.order = RecordSortOrder(keys, ascending);
  return permutation;
}

SlotPermutation FolderSortPermutation(const Database& db, int parent, bool ascending) {
  SlotPermutation permutation{SlotPermutation::Table::kFolders, SubfoldersOf(db, parent), {}};
  std::vector<QString> keys;
  keys.reserve(permutation.places.size());
  for (int slot : permutation.places)
    keys.push_back(db.Folders[static_cast<std::size_t>(slot)].Name.toLower());
  permutation.order = FolderSortOrder(keys, ascending);
  return permutation;
}

}  // namespace orbo

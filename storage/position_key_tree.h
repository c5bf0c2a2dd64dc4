// A key per position with logarithmic updates and searches: the deletion
// rounds look for the rightmost position under a bound, the record sort for
// the leftmost smallest key.
#pragma once

#include <climits>
#include <vector>

namespace orbo {

class PositionKeyTree {
 public:
  // The key of a position that takes no part.
  static constexpr int kNone = INT_MAX;

  PositionKeyTree() = default;
  explicit PositionKeyTree(const std::vector<int>& keys);

  void Set(int position, int key);
  // The smallest key of all positions.
  int Minimum() const { return minimum_[1]; }
  // The highest position in [lo, hi] whose key is at most bound, or -1.
  int RightmostAtMost(int lo, int hi, int bound) const;
  // The lowest position whose key is at most bound, or -1.
  int LeftmostAtMost(int bound) const;

 private:
  int Descend(int node, int nodeLo, int nodeHi, int lo, int hi, int bound) const;

  int leaves_ = 1;
  std::vector<int> minimum_ = std::vector<int>(2, kNone);  // heap order: node 1 is the root
};

}  // namespace orbo

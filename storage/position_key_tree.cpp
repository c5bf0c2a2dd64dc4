#include "storage/position_key_tree.h"

#include <algorithm>

namespace orbo {

PositionKeyTree::PositionKeyTree(const std::vector<int>& keys) {
  while (leaves_ < static_cast<int>(keys.size())) leaves_ *= 2;
  minimum_.assign(2 * static_cast<std::size_t>(leaves_), kNone);
  std::copy(keys.begin(), keys.end(), minimum_.begin() + leaves_);
  for (int node = leaves_ - 1; node >= 1; --node) {
    minimum_[node] = std::min(minimum_[2 * node], minimum_[2 * node + 1]);
  }
}

void PositionKeyTree::Set(int position, int key) {
  int node = leaves_ + position;
  minimum_[node] = key;
  for (node /= 2; node >= 1; node /= 2) {
    minimum_[node] = std::min(minimum_[2 * node], minimum_[2 * node + 1]);
  }
}

int PositionKeyTree::RightmostAtMost(int lo, int hi, int bound) const {
  if (lo > hi) return -1;
  return Descend(1, 0, leaves_ - 1, lo, hi, bound);
}

// Only nodes on the two range borders are split without success, so the
// walk stays logarithmic.
int PositionKeyTree::Descend(int node, int nodeLo, int nodeHi, int lo, int hi, int bound) const {
  if (nodeHi < lo || nodeLo > hi || minimum_[node] > bound) return -1;
  if (nodeLo == nodeHi) return nodeLo;
  const int middle = (nodeLo + nodeHi) / 2;
  const int right = Descend(2 * node + 1, middle + 1, nodeHi, lo, hi, bound);
  return right >= 0 ? right : Descend(2 * node, nodeLo, middle, lo, hi, bound);
}

int PositionKeyTree::LeftmostAtMost(int bound) const {
  if (minimum_[1] > bound) return -1;
  int node = 1;
  while (node < leaves_) node = minimum_[2 * node] <= bound ? 2 * node : 2 * node + 1;
  return node - leaves_;
}

}  // namespace orbo

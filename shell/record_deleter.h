// Record deletion whose cost follows the records that move, not the size of
// the table, so emptying a large folder record by record stays linear.
#pragma once

#include <vector>

#include "shell/navigation_logic.h"
#include "storage/database_model.h"

namespace orbo {

// A key per position; finds the rightmost position of a range whose key is
// at most a bound, in logarithmic time.
class PositionKeyTree {
 public:
  PositionKeyTree() = default;
  explicit PositionKeyTree(const std::vector<int>& keys);

  void Set(int position, int key);
  // The highest position in [lo, hi] whose key is at most bound, or -1.
  int RightmostAtMost(int lo, int hi, int bound) const;

 private:
  int Descend(int node, int nodeLo, int nodeHi, int lo, int hi, int bound) const;

  int leaves_ = 1;
  std::vector<int> minimum_;  // heap order: node 1 is the root, leaves from leaves_
};

// Deletes records one after another with the same result as
// DeleteRecordInModel, keeping what it learned about the table between
// deletions. Nothing else may change the database meanwhile.
class RecordDeleter {
 public:
  // One pass over the table.
  explicit RecordDeleter(Database& db);

  // Costs (moves + entries shifted down) * log(RecordCount).
  RecordDeletion Delete(int r);

 private:
  bool IsChained(int position) const;
  void Unchain(int position);
  void Relabel(int from, int to);
  int Candidate(int hole, int excludedFolder) const;
  void CloseHole(int hole);

  Database& db_;
  // Neighbouring records of the same folder, -1 at a folder's ends.
  std::vector<int> prev_;
  std::vector<int> next_;
  // Per record its prev_; free slots and the hole never qualify. A record
  // is the first of its folder behind the hole exactly when its key is at
  // most the hole.
  PositionKeyTree keys_;
  int buffers_ = 0;
};

}  // namespace orbo

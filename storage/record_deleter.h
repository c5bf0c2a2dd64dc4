// Record deletion whose cost follows the records that move, not the size of
// the table, so emptying a large folder record by record stays linear.
#pragma once

#include <vector>

#include "storage/database_model.h"
#include "storage/navigation_logic.h"
#include "storage/position_key_tree.h"

namespace orbo {

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

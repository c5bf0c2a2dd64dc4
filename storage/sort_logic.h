// Sorting the records of a folder, or the sub-folders of a folder, inside
// the table slots they already hold. The orders are those of the long-known
// quadratic routines (a selection sort for records, an exchange sort of n
// full passes for folders), equal keys included, found in O(n log n).
#pragma once

#include <QString>
#include <vector>

#include "storage/database_model.h"
#include "storage/slot_permutation.h"

namespace orbo {

// Positions into keys, in the order the selection sort leaves them:
// each step exchanges the first smallest remaining key into place.
// Descending is the exact mirror of ascending.
std::vector<int> RecordSortOrder(const std::vector<QString>& keys, bool ascending);

// Positions into keys, in the order n passes of neighbour exchanges leave
// them, where ascending exchanges equal neighbours too and descending
// exchanges only a smaller key before a larger one.
std::vector<int> FolderSortOrder(const std::vector<QString>& keys, bool ascending);

// The rearrangement that sorts the records whose folder is folder by their
// lower-case titles; empty when fewer than two take part.
SlotPermutation RecordSortPermutation(const Database& db, int folder, bool ascending);

// The rearrangement that sorts the folders whose parent is parent (-1: the
// top level) by their lower-case names; empty when fewer than two take part.
SlotPermutation FolderSortPermutation(const Database& db, int parent, bool ascending);

}  // namespace orbo

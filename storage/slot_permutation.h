// A rearrangement of the records, or of the folders, among the table slots
// they already hold, as a sort makes it: kept as the slots and the order,
// so it can be done, taken back and done again without a copy of the table.
#pragma once

#include <vector>

#include "storage/database_model.h"

namespace orbo {

struct SlotPermutation {
  enum class Table { kRecords, kFolders };

  Table table = Table::kRecords;
  // The slots taking part, in table order.
  std::vector<int> places;
  // places[k] receives the entry that was at places[order[k]].
  std::vector<int> order;

  // Fewer than two slots take part: nothing can move.
  bool Empty() const { return places.size() < 2; }
};

// Whether doing it would change db: an entry moves where a different one
// was, or a moved folder holds records or sub-folders, which are renumbered.
bool ChangesAnything(const Database& db, const SlotPermutation& permutation);

// Moves the entries. Marks follow their records; the records and
// sub-folders of a moved folder follow it to its new slot.
void Rearrange(Database& db, const SlotPermutation& permutation);
// Moves them back where they were before Rearrange.
void RearrangeBack(Database& db, const SlotPermutation& permutation);

}  // namespace orbo

#include "query/sort/rearrangement_step.h"

namespace orbo {

RearrangementStep::RearrangementStep(const QString& text, Database& db, DisplayState& state,
                                     ShownPlace before, SlotPermutation permutation)
    : ModelStep(text, db, state, before), permutation_(std::move(permutation)) {}

ChangedParts RearrangementStep::Parts() const {
  ChangedParts parts;
  if (permutation_.table == SlotPermutation::Table::kRecords) {
    parts.records = true;
    parts.marks = true;
    parts.recordIndices = permutation_.places;
  } else {
    // The records of the moved folders are renumbered with them.
    parts.folders = true;
    parts.records = true;
    parts.folderIndices = permutation_.places;
    parts.indicesComplete = false;
  }
  return parts;
}

std::size_t RearrangementStep::Bytes() const {
  return sizeof(*this) +
         (permutation_.places.capacity() + permutation_.order.capacity()) * sizeof(int);
}

}  // namespace orbo

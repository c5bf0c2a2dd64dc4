// A sort as one undo step: the permutation it made, taken back and done
// again in place, never a copy of the table.
#pragma once

#include "shell/command_funnel.h"
#include "storage/slot_permutation.h"

namespace orbo {

class RearrangementStep : public ModelStep {
 public:
  // permutation was done already.
  RearrangementStep(const QString& text, Database& db, DisplayState& state, ShownPlace before,
                    SlotPermutation permutation);

  ChangedParts Parts() const override;
  std::size_t Bytes() const override;

 protected:
  void Undo(Database& db) override { RearrangeBack(db, permutation_); }
  void Redo(Database& db) override { Rearrange(db, permutation_); }

 private:
  SlotPermutation permutation_;
};

}  // namespace orbo

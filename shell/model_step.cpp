#include "shell/model_step.h"

#include <utility>

namespace orbo {

ShownPlace ShownPlace::Of(const DisplayState& state) {
  return {state.CurForm, state.CurRecord, state.CurFolder, state.SelType, state.SelIndex};
}

void ShownPlace::ApplyTo(DisplayState& state) const {
  state.CurForm = CurForm;
  state.CurRecord = CurRecord;
  state.CurFolder = CurFolder;
  state.SelType = SelType;
  state.SelIndex = SelIndex;
}

ModelStep::ModelStep(QString text, Database& db, DisplayState& state, ShownPlace before)
    : text_(std::move(text)), db_(db), state_(state), before_(before), after_(before) {}

void ModelStep::TakeBack() {
  Undo(db_);
  before_.ApplyTo(state_);
}

void ModelStep::DoAgain() {
  Redo(db_);
  after_.ApplyTo(state_);
}

bool ModelStep::MergeWith(const ModelStep&) { return false; }

}  // namespace orbo

#include "shell/step_stack.h"

namespace orbo {

QString StepStack::UndoText() const { return CanUndo() ? At(index_ - 1).Text() : QString(); }

QString StepStack::RedoText() const { return CanRedo() ? At(index_).Text() : QString(); }

ModelStep* StepStack::Top() {
  return CanUndo() ? steps_[static_cast<std::size_t>(index_ - 1)].step.get() : nullptr;
}

void StepStack::Push(std::unique_ptr<ModelStep> step) {
  while (Count() > index_) {
    bytes_ -= steps_.back().bytes;
    steps_.pop_back();
  }
  if (clean_ > index_) clean_ = -1;
  // A step saved in a file takes in nothing after it: undoing to the save
  // must give back what the file holds.
  ModelStep* top = Top();
  if (top && clean_ != index_ && top->MergeWith(*step)) {
    Kept& kept = steps_.back();
    bytes_ -= kept.bytes;
    kept.bytes = top->Bytes();
    bytes_ += kept.bytes;
  } else {
    const std::size_t bytes = step->Bytes();
    steps_.push_back({std::move(step), bytes});
    bytes_ += bytes;
    ++index_;
  }
  KeepWithinBound();
}

// Only after a push, when every step is done. The newest step stays
// however large it is: its change can still be taken back.
void StepStack::KeepWithinBound() {
  int dropped = 0;
  while (bytes_ > bound_ && steps_.size() > 1) {
    bytes_ -= steps_.front().bytes;
    steps_.pop_front();
    ++dropped;
  }
  index_ -= dropped;
  if (clean_ != -1) clean_ = clean_ < dropped ? -1 : clean_ - dropped;
}

ModelStep* StepStack::Undo() {
  if (!CanUndo()) return nullptr;
  ModelStep* step = steps_[static_cast<std::size_t>(--index_)].step.get();
  step->TakeBack();
  return step;
}

ModelStep* StepStack::Redo() {
  if (!CanRedo()) return nullptr;
  ModelStep* step = steps_[static_cast<std::size_t>(index_++)].step.get();
  step->DoAgain();
  return step;
}

void StepStack::Clear() {
  steps_.clear();
  index_ = 0;
  clean_ = 0;
  bytes_ = 0;
}

}  // namespace orbo

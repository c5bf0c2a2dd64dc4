// The funnel's undo stack: its steps, oldest first, how many of them are
// done, the place the file was saved at, and a bound on the memory the
// steps hold together: past it the oldest steps go, so a long session of
// large changes cannot take all the memory.
#pragma once

#include <QString>
#include <cstddef>
#include <deque>
#include <memory>

#include "shell/model_step.h"

namespace orbo {

inline constexpr std::size_t kUndoMemoryBound = std::size_t{100} * 1024 * 1024;

class StepStack {
 public:
  explicit StepStack(std::size_t memoryBound = kUndoMemoryBound) : bound_(memoryBound) {}

  int Count() const { return static_cast<int>(steps_.size()); }
  // How many steps are done: an undo takes back step Index() - 1.
  int Index() const { return index_; }
  const ModelStep& At(int i) const { return *steps_[static_cast<std::size_t>(i)].step; }
  bool CanUndo() const { return index_ > 0; }
  bool CanRedo() const { return index_ < Count(); }
  // The names of the steps an undo and a redo would take; empty for none.
  QString UndoText() const;
  QString RedoText() const;
  // What the steps hold together, as they count it.
  std::size_t Bytes() const { return bytes_; }
  // At the place the file was saved at; never again once that place went.
  bool Clean() const { return clean_ == index_; }

  // The step done last, if any.
  ModelStep* Top();
  // A step whose change is done: the steps undone go, and the one done
  // last takes it in when it can.
  void Push(std::unique_ptr<ModelStep> step);
  // Takes back the step done last, or does the next one again; returns it,
  // or none when there is none.
  ModelStep* Undo();
  ModelStep* Redo();
  void SetClean() { clean_ = index_; }
  // No steps, and clean.
  void Clear();

 private:
  struct Kept {
    std::unique_ptr<ModelStep> step;
    std::size_t bytes;
  };
  void KeepWithinBound();

  std::deque<Kept> steps_;
  int index_ = 0;
  // -1 once the place the file was saved at went.
  int clean_ = 0;
  std::size_t bytes_ = 0;
  std::size_t bound_;
};

}  // namespace orbo

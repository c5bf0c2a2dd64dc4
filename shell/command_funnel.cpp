#include "shell/command_funnel.h"

#include <optional>

#include "storage/stored_content.h"

namespace orbo {
namespace {

class Running {
 public:
  explicit Running(bool& flag) : flag_(flag) { flag_ = true; }
  ~Running() { flag_ = false; }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;

 private:
  bool& flag_;
};

// A step kept as the entries it changed.
class DeltaStep : public ModelStep {
 public:
  DeltaStep(const QString& text, Database& db, DisplayState& state, ShownPlace before,
            ModelDelta delta, QString mergeKey)
      : ModelStep(text, db, state, before),
        delta_(std::move(delta)),
        mergeKey_(std::move(mergeKey)) {}

  bool MergeWith(const ModelStep& other) override {
    const auto* later = dynamic_cast<const DeltaStep*>(&other);
    if (mergeKey_.isEmpty() || !later || later->mergeKey_ != mergeKey_) return false;
    delta_.Absorb(later->delta_, Model());
    SetAfter(later->After());
    return true;
  }
  ChangedParts Parts() const override { return delta_.Parts(); }
  std::size_t Bytes() const override { return delta_.Bytes(); }

 protected:
  void Undo(Database& db) override { delta_.Undo(db); }
  void Redo(Database& db) override { delta_.Redo(db); }

 private:
  ModelDelta delta_;
  QString mergeKey_;
};

// What undoing delta on now leaves different from before, the model as it
// was before the change; empty when the delta takes back the whole change.
// Without a delta the change must have changed nothing.
QString UndoDifference(const Database& before, Database now, const ModelDelta* delta) {
  if (delta) delta->Undo(now);
  return ModelDifference(now, before);
}

}  // namespace

CommandFunnel::CommandFunnel(Database& db, DisplayState& state, std::size_t undoMemoryBound)
    : db_(db), state_(state), stack_(undoMemoryBound) {}

bool CommandFunnel::Run(const std::function<void()>& command) {
  if (running_) return false;
  {
    Running running(running_);
    lastPushed_ = nullptr;
    command();
    // A command shows its result after its step was made (the record it
    // added, in its folder): redo shows what the command ended with.
    if (lastPushed_ && lastPushed_ == stack_.Top()) lastPushed_->SetAfter(Place());
    lastPushed_ = nullptr;
  }
  if (afterCommand) afterCommand();
  return true;
}

std::function<void()> CommandFunnel::Gated(std::function<void()> command) {
  return [this, command = std::move(command)] { Run(command); };
}

bool CommandFunnel::Change(const QString& text, const ChangeScope& scope,
                           const std::function<void()>& change, const QString& mergeKey) {
  const ShownPlace before = Place();
  std::optional<Database> whole;
  if (onScopeBreach) whole = db_;
  ModelDelta delta(db_, scope);
  try {
    change();
  } catch (...) {
    // A change that fails half way leaves the model as it found it.
    if (delta.Finish(db_)) delta.Undo(db_);
    throw;
  }
  const bool changed = delta.Finish(db_);
  if (whole) {
    const QString difference = UndoDifference(*whole, db_, changed ? &delta : nullptr);
    if (!difference.isEmpty()) onScopeBreach(text + QStringLiteral(": ") + difference);
  }
  if (!changed) return false;
  auto step = std::make_unique<DeltaStep>(text, db_, state_, before, std::move(delta), mergeKey);
  Push(std::move(step));
  return true;
}

void CommandFunnel::Push(std::unique_ptr<ModelStep> step) {
  // A command that makes a second step (two imports in one opening of the
  // dialog): the first one ended where the window stood when this one began.
  if (lastPushed_ && lastPushed_ == stack_.Top()) lastPushed_->SetAfter(step->Before());
  step->SetAfter(Place());
  const ChangedParts parts = step->Parts();
  stack_.Push(std::move(step));
  // The step, or the one it merged into.
  lastPushed_ = stack_.Top();
  FollowSteps();
  emit modelChanged(parts, false);
}

bool CommandFunnel::Undo() { return Step(true); }
bool CommandFunnel::Redo() { return Step(false); }

bool CommandFunnel::Step(bool undo) {
  const ModelStep* step = undo ? stack_.Undo() : stack_.Redo();
  if (!step) return false;
  const ChangedParts parts = step->Parts();
  FollowSteps();
  emit modelChanged(parts, true);
  return true;
}

void CommandFunnel::MarkSaved() {
  changedOutside_ = false;
  stack_.SetClean();
  FollowSteps();
}

void CommandFunnel::Reset() {
  changedOutside_ = false;
  stack_.Clear();
  FollowSteps();
}

void CommandFunnel::DropSteps() {
  changedOutside_ = Modified();
  stack_.Clear();
  // The mark does not change: only the undo commands follow.
  emit stepsChanged();
}

// The steps on the stack were taken from a model that is no more: taking
// them back now would write old entries over others.
void CommandFunnel::MarkChangedOutside() {
  changedOutside_ = true;
  stack_.Clear();
  FollowSteps();
}

// The model may have been replaced with a mark of its own: the mark and its
// listeners follow the stack every time.
void CommandFunnel::FollowSteps() {
  db_.Modified = Modified();
  emit modifiedChanged(db_.Modified);
  emit stepsChanged();
}

}  // namespace orbo

#include "shell/command_funnel.h"

#include <QSignalBlocker>

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

  int id() const override { return mergeKey_.isEmpty() ? -1 : 1; }
  bool mergeWith(const QUndoCommand* other) override {
    const auto* later = dynamic_cast<const DeltaStep*>(other);
    if (!later || later->mergeKey_ != mergeKey_) return false;
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

}  // namespace

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

ModelStep::ModelStep(const QString& text, Database& db, DisplayState& state, ShownPlace before)
    : QUndoCommand(text), db_(db), state_(state), before_(before), after_(before) {}

void ModelStep::undo() {
  Undo(db_);
  before_.ApplyTo(state_);
}

void ModelStep::redo() {
  // The change was done before the step was pushed.
  if (std::exchange(done_, false)) return;
  Redo(db_);
  after_.ApplyTo(state_);
}

CommandFunnel::CommandFunnel(Database& db, DisplayState& state) : db_(db), state_(state) {
  stack_.setUndoLimit(0);
  connect(&stack_, &QUndoStack::cleanChanged, this, [this] { FollowModified(); });
}

bool CommandFunnel::Run(const std::function<void()>& command) {
  if (running_) return false;
  {
    Running running(running_);
    lastPushed_ = nullptr;
    command();
    // A command shows its result after its step was made (the record it
    // added, in its folder): redo shows what the command ended with.
    if (lastPushed_ && lastPushed_ == TopStep()) lastPushed_->SetAfter(Place());
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
  ModelDelta delta(db_, scope);
  change();
  if (!delta.Finish(db_)) return false;
  auto step = std::make_unique<DeltaStep>(text, db_, state_, before, std::move(delta), mergeKey);
  Push(std::move(step));
  return true;
}

void CommandFunnel::Push(std::unique_ptr<ModelStep> step) {
  // A command that makes a second step (two imports in one opening of the
  // dialog): the first one ended where the window stood when this one began.
  if (lastPushed_ && lastPushed_ == TopStep()) lastPushed_->SetAfter(step->Before());
  step->SetAfter(Place());
  const ChangedParts parts = step->Parts();
  stack_.push(step.release());
  // The step, or the one it merged into.
  lastPushed_ = TopStep();
  FollowModified();
  emit modelChanged(parts, false);
}

ModelStep* CommandFunnel::TopStep() {
  // The stack hands out its steps as const; they are ours.
  return dynamic_cast<ModelStep*>(const_cast<QUndoCommand*>(stack_.command(stack_.index() - 1)));
}

bool CommandFunnel::Undo() { return Step(true); }
bool CommandFunnel::Redo() { return Step(false); }

bool CommandFunnel::Step(bool undo) {
  const int index = undo ? stack_.index() - 1 : stack_.index();
  const auto* step = dynamic_cast<const ModelStep*>(stack_.command(index));
  if (!step) return false;
  const ChangedParts parts = step->Parts();
  if (undo) {
    stack_.undo();
  } else {
    stack_.redo();
  }
  FollowModified();
  emit modelChanged(parts, true);
  return true;
}

void CommandFunnel::MarkSaved() {
  changedOutside_ = false;
  stack_.setClean();
  FollowModified();
}

void CommandFunnel::Reset() {
  changedOutside_ = false;
  stack_.clear();
  FollowModified();
}

void CommandFunnel::DropSteps() {
  changedOutside_ = Modified();
  // The mark does not change: nothing to tell.
  const QSignalBlocker quiet(stack_);
  stack_.clear();
}

// The steps on the stack were taken from a model that is no more: taking
// them back now would write old entries over others.
void CommandFunnel::MarkChangedOutside() {
  changedOutside_ = true;
  stack_.clear();
  FollowModified();
}

// The model may have been replaced with a mark of its own: the mark and its
// listeners follow the stack every time.
void CommandFunnel::FollowModified() {
  db_.Modified = Modified();
  emit modifiedChanged(db_.Modified);
}

}  // namespace orbo

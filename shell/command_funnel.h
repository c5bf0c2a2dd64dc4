// Every command runs through the funnel: one at a time (events processed
// inside a command, such as the progress display, a modal dialog or the
// deletion of a large folder, start no other command, and the hand-over of
// a second instance waits for the next tick), the model's rules checked
// after each, and every change of the model kept as one step of one undo
// stack. The database is modified exactly when the stack is not at the step
// it was saved at, or something the stack cannot see changed it (a load's
// repairs).
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "shell/model_step.h"
#include "shell/step_stack.h"
#include "storage/database_model.h"
#include "storage/display_state.h"
#include "storage/model_delta.h"

namespace orbo {

class CommandFunnel : public QObject {
  Q_OBJECT

 public:
  CommandFunnel(Database& db, DisplayState& state, std::size_t undoMemoryBound = kUndoMemoryBound);

  // Runs command unless another one is running; false when refused.
  bool Run(const std::function<void()>& command);
  bool Busy() const { return running_; }
  // A handler that goes through Run.
  std::function<void()> Gated(std::function<void()> command);
  // Runs after every command that ran, e.g. the model's checks.
  std::function<void()> afterCommand;
  // When set, every Change is checked against its scope: undo of a change
  // that reached outside it would restore a wrong model without a word.
  // The check copies the whole model twice per change, so only debug builds
  // and tests set it; it gets the step's name and what differs.
  std::function<void(const QString& breach)> onScopeBreach;

  // Changes the model as one undo step named text: change runs at once,
  // and what it changed within scope is kept. A change that changed nothing
  // leaves no step; false then. Steps one after another with the same
  // non-empty mergeKey become one (typing into one box).
  bool Change(const QString& text, const ChangeScope& scope, const std::function<void()>& change,
              const QString& mergeKey = {});
  // A step of a kind of its own whose change is already done.
  void Push(std::unique_ptr<ModelStep> step);
  // The place shown before a change began, for steps made by hand.
  ShownPlace Place() const { return ShownPlace::Of(state_); }

  // Takes back or does again one step, inside a command; false when there
  // is none.
  bool Undo();
  bool Redo();
  const StepStack& Stack() const { return stack_; }

  // The model is what its file holds.
  void MarkSaved();
  // A new model replaced the old one: no steps to take back, and those
  // that held a password wiped it.
  void Reset();
  // The database closes: the steps go, and those that held a password wipe
  // it; the mark stays as it was.
  void DropSteps();
  // The model changed in a way no step can take back; neither can the steps
  // before it then.
  void MarkChangedOutside();
  bool Modified() const { return !stack_.Clean() || changedOutside_; }

 signals:
  // After a step was made, undone or redone.
  void modelChanged(const orbo::ChangedParts& parts, bool undoOrRedo);
  void modifiedChanged(bool modified);
  // After the steps, or the place on them, changed.
  void stepsChanged();

 private:
  void FollowSteps();
  bool Step(bool undo);

  Database& db_;
  DisplayState& state_;
  StepStack stack_;
  bool running_ = false;
  // The step the running command pushed last, if any.
  ModelStep* lastPushed_ = nullptr;
  bool changedOutside_ = false;
};

}  // namespace orbo

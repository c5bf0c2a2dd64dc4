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
#include <QUndoCommand>
#include <QUndoStack>
#include <functional>
#include <memory>

#include "storage/database_model.h"
#include "storage/display_state.h"
#include "storage/model_delta.h"

namespace orbo {

// What the window showed when a step was made: undo and redo show it again.
struct ShownPlace {
  int CurForm = -1;
  int CurRecord = -1;
  int CurFolder = 0;
  int SelType = kSelectForm;
  int SelIndex = 0;

  static ShownPlace Of(const DisplayState& state);
  void ApplyTo(DisplayState& state) const;
};

// A step of the undo stack that changes the model. Made after its change was
// done: the first redo, which QUndoStack::push calls, does nothing.
class ModelStep : public QUndoCommand {
 public:
  ModelStep(const QString& text, Database& db, DisplayState& state, ShownPlace before);

  // Where the window stood once the change was done.
  void SetAfter(const ShownPlace& after) { after_ = after; }
  const ShownPlace& Before() const { return before_; }

  void undo() final;
  void redo() final;
  // What the step changes, for the views.
  virtual ChangedParts Parts() const = 0;
  virtual std::size_t Bytes() const = 0;

 protected:
  virtual void Undo(Database& db) = 0;
  virtual void Redo(Database& db) = 0;
  const ShownPlace& After() const { return after_; }
  const Database& Model() const { return db_; }

 private:
  Database& db_;
  DisplayState& state_;
  ShownPlace before_;
  ShownPlace after_;
  bool done_ = true;
};

class CommandFunnel : public QObject {
  Q_OBJECT

 public:
  CommandFunnel(Database& db, DisplayState& state);

  // Runs command unless another one is running; false when refused.
  bool Run(const std::function<void()>& command);
  bool Busy() const { return running_; }
  // A handler that goes through Run.
  std::function<void()> Gated(std::function<void()> command);
  // Runs after every command that ran, e.g. the model's checks.
  std::function<void()> afterCommand;

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
  QUndoStack& Stack() { return stack_; }

  // The model is what its file holds.
  void MarkSaved();
  // A new model replaced the old one: no steps to take back.
  void Reset();
  // The database closes: the steps go, and those that held a password wipe
  // it; the mark stays as it was.
  void DropSteps();
  // The model changed in a way no step can take back; neither can the steps
  // before it then.
  void MarkChangedOutside();
  bool Modified() const { return !stack_.isClean() || changedOutside_; }

 signals:
  // After a step was made, undone or redone.
  void modelChanged(const orbo::ChangedParts& parts, bool undoOrRedo);
  void modifiedChanged(bool modified);

 private:
  void FollowModified();
  bool Step(bool undo);
  ModelStep* TopStep();

  Database& db_;
  DisplayState& state_;
  QUndoStack stack_;
  bool running_ = false;
  // The step the running command pushed last, if any.
  ModelStep* lastPushed_ = nullptr;
  bool changedOutside_ = false;
};

}  // namespace orbo

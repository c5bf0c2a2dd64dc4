// A step of the undo stack that changes the model, with where the window
// stood before and after it. A step is made once its change is done.
#pragma once

#include <QString>
#include <cstddef>

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

class ModelStep {
 public:
  ModelStep(QString text, Database& db, DisplayState& state, ShownPlace before);
  virtual ~ModelStep() = default;
  ModelStep(const ModelStep&) = delete;
  ModelStep& operator=(const ModelStep&) = delete;

  // The step's name, as the undo and redo commands show it.
  const QString& Text() const { return text_; }
  // Where the window stood once the change was done.
  void SetAfter(const ShownPlace& after) { after_ = after; }
  const ShownPlace& Before() const { return before_; }

  // Takes the change back, or does it again, and shows the place it was
  // made at.
  void TakeBack();
  void DoAgain();
  // Takes in later, made right after this step was done (typing on in a
  // word); false when the two stay steps of their own.
  virtual bool MergeWith(const ModelStep& later);
  // What the step changes, for the views.
  virtual ChangedParts Parts() const = 0;
  virtual std::size_t Bytes() const = 0;

 protected:
  virtual void Undo(Database& db) = 0;
  virtual void Redo(Database& db) = 0;
  const ShownPlace& After() const { return after_; }
  const Database& Model() const { return db_; }

 private:
  QString text_;
  Database& db_;
  DisplayState& state_;
  ShownPlace before_;
  ShownPlace after_;
};

}  // namespace orbo

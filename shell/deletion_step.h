// Deleting records, and the folder they emptied, as one undo step. It keeps
// each deletion round's moves and the deleted records, packed, never a copy
// of the table: taking back a folder of thousands of records costs what
// deleting it cost. A change that ends the same command (a dropped record
// added to its new folder) joins the step as a delta.
#pragma once

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "shell/command_funnel.h"
#include "storage/model_delta.h"
#include "storage/navigation_logic.h"

namespace orbo {

class DeletionStep : public ModelStep {
 public:
  // Made before the deletion: keeps the marks and counts as they are.
  DeletionStep(const QString& text, Database& db, DisplayState& state, ShownPlace before);

  // Deletes records (live and distinct) as DeleteRecordsInModel does.
  std::vector<RecordDeletion> DeleteRecords(std::vector<int> records);
  // Removes folder, emptied and without sub-folders, after its records.
  void RemoveFolder(int folder);
  // After the deletion: change, which touches what scope names.
  void Then(const ChangeScope& scope, const std::function<void()>& change);
  // Once the command's change is done, before the step is pushed.
  void Finish();

  ChangedParts Parts() const override;
  std::size_t Bytes() const override;

 protected:
  void Undo(Database& db) override;
  void Redo(Database& db) override;

 private:
  struct Round {
    RecordDeletion deletion;
    PackedRecord deleted;
  };
  // The marks and counts once the deletion is done, before what follows.
  void TakeDeleted();

  Database& db_;
  std::vector<Round> rounds_;
  std::optional<std::pair<int, FolderDef>> removedFolder_;
  std::optional<ModelDelta> then_;
  std::vector<bool> marksBefore_;
  std::vector<bool> marksDeleted_;
  ModelSettings settingsBefore_;
  ModelSettings settingsDeleted_;
  bool deletionTaken_ = false;
};

}  // namespace orbo

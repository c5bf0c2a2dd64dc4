#include "shell/deletion_step.h"

#include <algorithm>

#include "storage/deletion_replay.h"

namespace orbo {
namespace {

std::vector<bool> MarksOf(const Database& db) {
  return std::vector<bool>(db.RecordMarks.begin(),
                           db.RecordMarks.begin() + std::max<int>(db.RecordCount, 0));
}

// The counts first, so the marks have their room.
void Restore(Database& db, const ModelSettings& settings, const std::vector<bool>& marks) {
  settings.ApplyTo(db);
  std::copy(marks.begin(), marks.end(), db.RecordMarks.begin());
}

}  // namespace

DeletionStep::DeletionStep(const QString& text, Database& db, DisplayState& state,
                           ShownPlace before)
    : ModelStep(text, db, state, before),
      db_(db),
      marksBefore_(MarksOf(db)),
      settingsBefore_(ModelSettings::Of(db)) {}

std::vector<RecordDeletion> DeletionStep::DeleteRecords(std::vector<int> records) {
  std::vector<PackedRecord> deleted;
  deleted.reserve(records.size());
  std::vector<RecordDeletion> deletions =
      DeleteRecordsInModel(db_, std::move(records),
                           [&deleted](const RecordData& record) { deleted.emplace_back(record); });
  for (std::size_t i = 0; i < deletions.size(); ++i)
    rounds_.push_back({deletions[i], std::move(deleted[i])});
  return deletions;
}

void DeletionStep::RemoveFolder(int folder) {
  removedFolder_.emplace(folder, db_.Folders[static_cast<std::size_t>(folder)]);
  RemoveFolderInModel(db_, folder);
}

void DeletionStep::Then(const ChangeScope& scope, const std::function<void()>& change) {
  TakeDeleted();
  then_.emplace(db_, scope);
  change();
  if (!then_->Finish(db_)) then_.reset();
}

void DeletionStep::Finish() { TakeDeleted(); }

void DeletionStep::TakeDeleted() {
  if (std::exchange(deletionTaken_, true)) return;
  marksDeleted_ = MarksOf(db_);
  settingsDeleted_ = ModelSettings::Of(db_);
}

ChangedParts DeletionStep::Parts() const {
  ChangedParts parts = then_ ? then_->Parts() : ChangedParts{};
  parts.records = true;
  parts.marks = true;
  parts.settings = true;
  parts.folders = parts.folders || removedFolder_.has_value();
  // A removed folder renumbers the records of every folder after it.
  if (removedFolder_) {
    parts.indicesComplete = false;
    return parts;
  }
  // Each entry once, however many rounds moved it.
  std::vector<char> changed(
      static_cast<std::size_t>(std::max<int>(settingsBefore_.RecordCount, 0)));
  const auto mark = [&changed](int record) {
    if (record >= 0 && static_cast<std::size_t>(record) < changed.size())
      changed[static_cast<std::size_t>(record)] = 1;
  };
  int lowestShrunk = settingsBefore_.RecordCount;
  for (const Round& round : rounds_) {
    const RecordDeletion& deletion = round.deletion;
    mark(deletion.hole);
    for (const RecordMove& move : deletion.moves) {
      mark(move.from);
      mark(move.to);
    }
    if (deletion.shrunk) lowestShrunk = std::min(lowestShrunk, deletion.hole);
  }
  for (int r = lowestShrunk; r < settingsBefore_.RecordCount; ++r) mark(r);
  for (std::size_t r = 0; r < changed.size(); ++r)
    if (changed[r]) parts.recordIndices.push_back(static_cast<int>(r));
  return parts;
}

std::size_t DeletionStep::Bytes() const {
  std::size_t bytes = sizeof(*this) + (marksBefore_.size() + marksDeleted_.size()) / 8;
  for (const Round& round : rounds_)
    bytes +=
        sizeof(Round) + round.deleted.Bytes() + round.deletion.moves.size() * sizeof(RecordMove);
  if (then_) bytes += then_->Bytes();
  return bytes;
}

void DeletionStep::Undo(Database& db) {
  if (then_) then_->Undo(db);
  if (removedFolder_) RestoreFolderInModel(db, removedFolder_->first, removedFolder_->second);
  for (auto round = rounds_.rbegin(); round != rounds_.rend(); ++round)
    UndoRecordDeletion(db, round->deletion, round->deleted.Unpack());
  Restore(db, settingsBefore_, marksBefore_);
}

void DeletionStep::Redo(Database& db) {
  for (const Round& round : rounds_) RedoRecordDeletion(db, round.deletion);
  if (removedFolder_) RemoveFolderInModel(db, removedFolder_->first);
  Restore(db, settingsDeleted_, marksDeleted_);
  if (then_) then_->Redo(db);
}

}  // namespace orbo

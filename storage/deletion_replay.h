// Doing a record or folder deletion again, or taking it back, from what the
// deletion reported: each round's move is an exchange of two entries, so
// replaying the moves costs what the deletion cost, not the table's size.
#pragma once

#include "storage/database_model.h"
#include "storage/navigation_logic.h"

namespace orbo {

// Puts deleted back where it stood before deletion; the records that moved
// into its hole go back too. Marks and BufferCount are the caller's.
void UndoRecordDeletion(Database& db, const RecordDeletion& deletion, const RecordData& deleted);
// Does deletion again on the model it was taken back to. Marks and
// BufferCount are the caller's.
void RedoRecordDeletion(Database& db, const RecordDeletion& deletion);

// Puts back a folder RemoveFolderInModel removed: later folders move up one
// index and every Parent and record Folder from it on follows.
void RestoreFolderInModel(Database& db, int folder, const FolderDef& def);

}  // namespace orbo

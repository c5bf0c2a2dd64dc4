// The structural changes of the folder tree, on the model alone: where a new
// record goes, how a deleted record's hole is filled, how folders are
// removed, exchanged and moved. The views follow what these report.
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "storage/database_model.h"
#include "storage/model_delta.h"

namespace orbo {

inline constexpr int kMaxRecords = 32000;
inline constexpr int kMaxFolders = 32000;
// A hole this close to the end of the table is closed by moving the rest down.
inline constexpr int kShrinkDistance = 20;

// The text itself, or its first maxLength characters followed by "..".
QString ShortenName(const QString& text, int maxLength);

// Record n as a new record would start: form 0, folder 0, unmarked, empty values.
void NewRecord(Database& db, int n);
// Folder n as a new folder starts: top level, "Folder n", icon "root".
void NewFolder(Database& db, int n);

// Stepping through the records of folder: the index to show, or -1 when
// nothing happens (no wrap-around).
int NextRecordIndex(const Database& db, int current, int folder);
int PrevRecordIndex(const Database& db, int current, int folder);
int FirstRecordIndex(const Database& db, int current, int folder);
int LastRecordIndex(const Database& db, int current, int folder);

// The free slot a new record of folder reuses (it lies behind the folder's
// last record), or -1 when the table must grow.
int ChooseRecordSlot(const Database& db, int folder);

// Slots for new records, one for each folder given, in order: each the slot
// ChooseRecordSlot would give once the ones before it were taken. The table
// grows by the rest, in order, from RecordCount on. A folder past the count
// (one about to be made) has no records yet.
std::vector<int> ChooseRecordSlots(const Database& db, const std::vector<int>& folders);

// Record "from" was copied into the hole "to".
struct RecordMove {
  int from;
  int to;
};

struct RecordDeletion {
  std::vector<RecordMove> moves;  // in order
  int hole = -1;                  // the entry that finally went away
  bool shrunk = false;            // entries above hole moved down by one, RecordCount - 1
};

// Where record is once deletions (in their order) are done: moved into a
// hole, moved down where the table shrank, or -1 when it was deleted.
int IndexAfterDeletions(const std::vector<RecordDeletion>& deletions, int record);

// Deletes record r from the model: later records move into the hole round
// by round; then the hole is closed (near the end) or left as a free slot.
// Free slots met by the scan are passed over. BufferCount follows.
RecordDeletion DeleteRecordInModel(Database& db, int r);
// Deletes the given records, highest index first, as one DeleteRecordInModel
// each; records must be live and distinct. Returns each deletion in order.
// beforeEach, when given, sees each record just before it goes.
std::vector<RecordDeletion> DeleteRecordsInModel(
    Database& db, std::vector<int> records,
    const std::function<void(const RecordData&)>& beforeEach = {});

bool HasSubfolders(const Database& db, int folder);
// Records of folder, ascending.
std::vector<int> RecordsOf(const Database& db, int folder);
// Sub-folders of folder (-1: the top level), ascending.
std::vector<int> SubfoldersOf(const Database& db, int folder);
// Every folder's sub-folders at once, ascending, at index parent + 1 (0 for
// the top level). A folder whose parent is none of the folders, or itself,
// is in no list, as it is in no tree.
std::vector<std::vector<int>> SubfoldersByParent(const Database& db);

// Removes an empty folder without sub-folders: later folders move down one
// index and every Parent and record Folder above it follows.
void RemoveFolderInModel(Database& db, int folder);

// The nearest sibling with a lower (Below) or higher (Above) index; -1 if none.
int SiblingBelow(const Database& db, int folder);
int SiblingAbove(const Database& db, int folder);
// Exchanges two folders' table entries; parents and records follow them.
void ExchangeFolders(Database& db, int a, int b);
// What ExchangeFolders(db, a, b) changes: the two folders, their records
// and their sub-folders.
ChangeScope ScopeOfFolderExchange(const Database& db, int a, int b);

// The names of folder and its ancestors, top level first, joined by "\".
QString FolderPath(const Database& db, int folder);

// Whether folder is ancestor itself or lies below it.
bool IsInSubtree(const Database& db, int folder, int ancestor);

// How many records and sub-folders each folder has, counted in one pass, so
// building the tree never scans the table once per folder.
struct FolderContents {
  std::vector<int> records;     // per folder
  std::vector<int> subfolders;  // per folder
};
FolderContents CountFolderContents(const Database& db);

}  // namespace orbo

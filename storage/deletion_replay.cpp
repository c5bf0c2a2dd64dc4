#include "storage/deletion_replay.h"

#include <algorithm>
#include <utility>

namespace orbo {
namespace {

std::size_t At(int i) { return static_cast<std::size_t>(i); }

}  // namespace

void UndoRecordDeletion(Database& db, const RecordDeletion& deletion, const RecordData& deleted) {
  const int hole = deletion.hole;
  if (deletion.shrunk) {
    const int count = db.RecordCount + 1;
    SetCount(db, kRecordsKind, static_cast<std::int16_t>(count));
    std::rotate(db.Records.begin() + hole, db.Records.begin() + count - 1,
                db.Records.begin() + count);
  }
  db.Records[At(hole)] = deleted;
  for (auto move = deletion.moves.rbegin(); move != deletion.moves.rend(); ++move)
    std::swap(db.Records[At(move->to)], db.Records[At(move->from)]);
}

void RedoRecordDeletion(Database& db, const RecordDeletion& deletion) {
  for (const RecordMove& move : deletion.moves)
    std::swap(db.Records[At(move.to)], db.Records[At(move.from)]);
  const int hole = deletion.hole;
  if (deletion.shrunk) {
    const int count = db.RecordCount;
    std::rotate(db.Records.begin() + hole, db.Records.begin() + hole + 1,
                db.Records.begin() + count);
    SetCount(db, kRecordsKind, static_cast<std::int16_t>(count - 1));
  } else {
    db.Records[At(hole)] = RecordData{};
    db.Records[At(hole)].Folder = BufferFolder;
  }
}

void RestoreFolderInModel(Database& db, int folder, const FolderDef& def) {
  const int count = db.FolderCount + 1;
  SetCount(db, kFoldersKind, static_cast<std::int16_t>(count));
  for (int k = 0; k < count - 1; ++k) {
    std::int16_t& parent = db.Folders[At(k)].Parent;
    if (parent >= folder) ++parent;
  }
  for (int i = 0; i < db.RecordCount; ++i) {
    std::int16_t& f = db.Records[At(i)].Folder;
    if (f >= folder) ++f;
  }
  std::move_backward(db.Folders.begin() + folder, db.Folders.begin() + count - 1,
                     db.Folders.begin() + count);
  db.Folders[At(folder)] = def;
}

}  // namespace orbo

#include "storage/record_deleter.h"

#include <algorithm>
#include <utility>

namespace orbo {
namespace {

// The key of a position that can never fill a hole.
constexpr int kNever = PositionKeyTree::kNone;

}  // namespace

RecordDeleter::RecordDeleter(Database& db)
    : db_(db), prev_(db.RecordCount, -1), next_(db.RecordCount, -1) {
  std::vector<int> lastOfFolder(std::max<int>(db.FolderCount, 0), -1);
  std::vector<int> keys(db.RecordCount, kNever);
  for (int p = 0; p < db.RecordCount; ++p) {
    if (db.Records[p].Folder == BufferFolder) ++buffers_;
    if (!IsChained(p)) continue;
    int& last = lastOfFolder[db.Records[p].Folder];
    prev_[p] = last;
    if (last >= 0) next_[last] = p;
    keys[p] = last;
    last = p;
  }
  keys_ = PositionKeyTree(keys);
}

RecordDeletion RecordDeleter::Delete(int r) {
  RecordDeletion result;
  if (r < 0 || r >= db_.RecordCount) return result;

  const bool wasFree = db_.Records[r].Folder == BufferFolder;
  Unchain(r);
  int hole = r;
  int excludedFolder = db_.Records[r].Folder;
  while (hole < db_.RecordCount - 1) {
    const int candidate = Candidate(hole, excludedFolder);
    if (candidate < 0) break;
    // Swapping instead of copying spares the values; the last hole is
    // cleared or dropped below anyway.
    std::swap(db_.Records[hole], db_.Records[candidate]);
    db_.RecordMarks[hole] = db_.RecordMarks[candidate];
    result.moves.push_back({candidate, hole});
    excludedFolder = db_.Records[hole].Folder;
    Relabel(candidate, hole);
    hole = candidate;
  }

  result.hole = hole;
  result.shrunk = db_.RecordCount - hole <= kShrinkDistance;
  if (result.shrunk) {
    CloseHole(hole);
    if (wasFree) --buffers_;
  } else {
    NewRecord(db_, hole);
    db_.Records[hole].Folder = BufferFolder;
    if (!wasFree) ++buffers_;
  }
  db_.BufferCount = static_cast<std::int16_t>(buffers_);
  return result;
}

// Free slots name no folder and take part in no chain.
bool RecordDeleter::IsChained(int position) const {
  return IsFolderIndex(db_, db_.Records[position].Folder);
}

void RecordDeleter::Unchain(int position) {
  if (!IsChained(position)) return;
  const int before = prev_[position];
  const int after = next_[position];
  if (before >= 0) next_[before] = after;
  if (after >= 0) {
    prev_[after] = before;
    keys_.Set(after, before);
  }
  keys_.Set(position, kNever);
}

// The record of position "from" now lies at "to", still between the same
// neighbours of its folder.
void RecordDeleter::Relabel(int from, int to) {
  const int before = prev_[from];
  const int after = next_[from];
  prev_[to] = before;
  next_[to] = after;
  if (before >= 0) next_[before] = to;
  if (after >= 0) {
    prev_[after] = to;
    keys_.Set(after, to);
  }
  keys_.Set(to, before);
  keys_.Set(from, kNever);
}

// Of the first records of each folder behind the hole, the farthest one not
// of the excluded folder; -1 when there is none. A later record would
// overtake its folder-mates.
int RecordDeleter::Candidate(int hole, int excludedFolder) const {
  int candidate = keys_.RightmostAtMost(hole + 1, db_.RecordCount - 1, hole);
  if (candidate >= 0 && db_.Records[candidate].Folder == excludedFolder) {
    candidate = keys_.RightmostAtMost(hole + 1, candidate - 1, hole);
  }
  return candidate;
}

// Near the end of the table the entries above the hole move down by one.
void RecordDeleter::CloseHole(int hole) {
  const int count = db_.RecordCount;
  std::rotate(db_.Records.begin() + hole, db_.Records.begin() + hole + 1,
              db_.Records.begin() + count);
  std::rotate(db_.RecordMarks.begin() + hole, db_.RecordMarks.begin() + hole + 1,
              db_.RecordMarks.begin() + count);
  SetCount(db_, kRecordsKind, static_cast<std::int16_t>(count - 1));
  for (int p = hole; p < count - 1; ++p) {
    if (IsChained(p)) Relabel(p + 1, p);
  }
}

}  // namespace orbo

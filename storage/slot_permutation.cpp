#include "storage/slot_permutation.h"

#include <numeric>

namespace orbo {
namespace {

std::size_t At(int i) { return static_cast<std::size_t>(i); }

// places[k] receives the record of places[from[k]]; cycle by cycle, so each
// record moves once and only one waits aside.
void MoveRecords(Database& db, const std::vector<int>& places, const std::vector<int>& from) {
  std::vector<bool> done(places.size());
  auto slot = [&](int k) { return At(places[At(k)]); };
  for (int start = 0; start < static_cast<int>(places.size()); ++start) {
    if (done[At(start)]) continue;
    RecordData waiting = std::move(db.Records[slot(start)]);
    const bool waitingMark = db.RecordMarks[slot(start)];
    int k = start;
    for (int next = from[At(k)]; next != start; next = from[At(k)]) {
      db.Records[slot(k)] = std::move(db.Records[slot(next)]);
      db.RecordMarks[slot(k)] = db.RecordMarks[slot(next)];
      done[At(k)] = true;
      k = next;
    }
    db.Records[slot(k)] = std::move(waiting);
    db.RecordMarks[slot(k)] = waitingMark;
    done[At(k)] = true;
  }
}

// places[k] receives the folder of places[from[k]]; every record and folder
// inside a moved folder is renumbered to its new slot.
void MoveFolders(Database& db, const std::vector<int>& places, const std::vector<int>& from) {
  std::vector<int> newSlot(At(db.FolderCount));
  std::iota(newSlot.begin(), newSlot.end(), 0);
  std::vector<FolderDef> folders(places.size());
  for (std::size_t k = 0; k < places.size(); ++k) {
    const int source = places[At(from[k])];
    newSlot[At(source)] = places[k];
    folders[k] = std::move(db.Folders[At(source)]);
  }
  for (std::size_t k = 0; k < places.size(); ++k) db.Folders[At(places[k])] = std::move(folders[k]);
  for (int r = 0; r < db.RecordCount; ++r) {
    std::int16_t& folder = db.Records[At(r)].Folder;
    if (IsFolderIndex(db, folder)) folder = static_cast<std::int16_t>(newSlot[At(folder)]);
  }
  for (int f = 0; f < db.FolderCount; ++f) {
    std::int16_t& above = db.Folders[At(f)].Parent;
    if (IsFolderIndex(db, above)) above = static_cast<std::int16_t>(newSlot[At(above)]);
  }
}

void Move(Database& db, const SlotPermutation& permutation, const std::vector<int>& from) {
  if (permutation.table == SlotPermutation::Table::kRecords) {
    MoveRecords(db, permutation.places, from);
  } else {
    MoveFolders(db, permutation.places, from);
  }
}

}  // namespace

bool ChangesAnything(const Database& db, const SlotPermutation& permutation) {
  const std::vector<int>& places = permutation.places;
  const bool records = permutation.table == SlotPermutation::Table::kRecords;
  std::vector<bool> moved(records ? 0 : At(db.FolderCount));
  for (std::size_t k = 0; k < places.size(); ++k) {
    const auto to = At(places[k]);
    const auto from = At(places[At(permutation.order[k])]);
    if (to == from) continue;
    if (records) {
      if (db.RecordMarks[to] != db.RecordMarks[from] || !(db.Records[to] == db.Records[from]))
        return true;
    } else {
      if (!(db.Folders[to] == db.Folders[from])) return true;
      moved[to] = true;
    }
  }
  if (records) return false;
  auto inMoved = [&](int folder) { return IsFolderIndex(db, folder) && moved[At(folder)]; };
  for (int r = 0; r < db.RecordCount; ++r) {
    if (inMoved(db.Records[At(r)].Folder)) return true;
  }
  for (int f = 0; f < db.FolderCount; ++f) {
    if (inMoved(db.Folders[At(f)].Parent)) return true;
  }
  return false;
}

void Rearrange(Database& db, const SlotPermutation& permutation) {
  Move(db, permutation, permutation.order);
}

void RearrangeBack(Database& db, const SlotPermutation& permutation) {
  std::vector<int> back(permutation.order.size());
  for (std::size_t k = 0; k < back.size(); ++k)
    back[At(permutation.order[k])] = static_cast<int>(k);
  Move(db, permutation, back);
}

}  // namespace orbo

#include "shell/navigation_logic.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <utility>

#include "storage/model_defaults.h"

namespace orbo {
namespace {

std::size_t At(int i) { return static_cast<std::size_t>(i); }

bool IsFolderIndex(const Database& db, int folder) {
  return folder >= 0 && folder < db.FolderCount;
}

// The positions of a deletion's hole search, one bit each. The candidates
// of a round are few (one per folder) and the highest is wanted, so a word
// scan from the top finds it without walking every record again.
class PositionSet {
 public:
  explicit PositionSet(int size) : words_(At((size + 63) / 64), 0) {}

  void Insert(int p) { words_[At(p / 64)] |= Bit(p); }
  void Erase(int p) { words_[At(p / 64)] &= ~Bit(p); }
  bool Contains(int p) const { return (words_[At(p / 64)] & Bit(p)) != 0; }

  // The highest position at or below limit, or -1.
  int HighestUpTo(int limit) const {
    if (limit < 0) return -1;
    int word = limit / 64;
    std::uint64_t bits = words_[At(word)];
    const int shift = 63 - limit % 64;
    bits = shift == 0 ? bits : bits & (~std::uint64_t{0} >> shift);
    while (true) {
      if (bits != 0) return word * 64 + 63 - std::countl_zero(bits);
      if (--word < 0) return -1;
      bits = words_[At(word)];
    }
  }

 private:
  static std::uint64_t Bit(int p) { return std::uint64_t{1} << (p % 64); }

  std::vector<std::uint64_t> words_;
};

}  // namespace

QString ShortenName(const QString& text, int maxLength) {
  const int limit = std::max(maxLength, 0);
  if (text.size() <= limit) return text;
  return text.left(limit) + QStringLiteral("..");
}

void NewRecord(Database& db, int n) {
  db.Records[At(n)] = RecordData{};
  db.RecordMarks[At(n)] = false;
}

void NewFolder(Database& db, int n) { ApplyNewFolderDefaults(db.Folders[At(n)], n); }

int NextRecordIndex(const Database& db, int current, int folder) {
  if (current < 0 || current >= db.RecordCount - 1) return -1;
  for (int i = current + 1; i < db.RecordCount; ++i) {
    if (db.Records[At(i)].Folder == folder) return i;
  }
  return -1;
}

int PrevRecordIndex(const Database& db, int current, int folder) {
  if (current <= 0 || current >= db.RecordCount) return -1;
  for (int i = current - 1; i >= 0; --i) {
    if (db.Records[At(i)].Folder == folder) return i;
  }
  return -1;
}

int FirstRecordIndex(const Database& db, int current, int folder) {
  if (current <= 0 || current >= db.RecordCount) return -1;
  for (int i = 0; i < current; ++i) {
    if (db.Records[At(i)].Folder == folder) return i;
  }
  return -1;
}

int LastRecordIndex(const Database& db, int current, int folder) {
  if (current < 0 || current >= db.RecordCount - 1) return -1;
  for (int i = db.RecordCount - 1; i > current; --i) {
    if (db.Records[At(i)].Folder == folder) return i;
  }
  return -1;
}

int ChooseRecordSlot(const Database& db, int folder) {
  int slot = -1;
  for (int i = 0; i < db.RecordCount; ++i) {
    const int f = db.Records[At(i)].Folder;
    if (f == BufferFolder) {
      if (slot < 0) slot = i;
    } else if (f == folder) {
      slot = -1;  // a free slot must lie behind the folder's last record
    }
  }
  return slot;
}

RecordDeletion DeleteRecordInModel(Database& db, int r) {
  RecordDeletion result;
  const int count = db.RecordCount;
  if (r < 0 || r >= count) return result;

  // A record may fill the hole only when it is the first record of its
  // folder behind the hole; a later one would overtake its folder-mates and
  // change the folder's order. Of those, the farthest is taken, except one
  // of the hole's own folder. Entries above the hole never change while the
  // hole travels up, so the first-of-folder positions are kept in a set and
  // advanced instead of rescanning the table every round.
  std::vector<int> nextSame(At(count), -1);
  std::vector<int> lastSeen(At(std::max<int>(db.FolderCount, 0)), -1);
  PositionSet firsts(count);
  for (int i = r + 1; i < count; ++i) {
    const int f = db.Records[At(i)].Folder;
    if (!IsFolderIndex(db, f)) continue;  // free slots name no folder
    int& last = lastSeen[At(f)];
    if (last < 0) {
      firsts.Insert(i);
    } else {
      nextSame[At(last)] = i;
    }
    last = i;
  }

  int hole = r;
  int holeFolder = db.Records[At(r)].Folder;
  while (hole < count - 1) {
    int candidate = firsts.HighestUpTo(count - 1);
    if (candidate >= 0 && db.Records[At(candidate)].Folder == holeFolder) {
      candidate = firsts.HighestUpTo(candidate - 1);
    }
    if (candidate < 0) break;

    // Swapping instead of copying spares the values; the last hole is
    // cleared or dropped below anyway.
    std::swap(db.Records[At(hole)], db.Records[At(candidate)]);
    db.RecordMarks[At(hole)] = db.RecordMarks[At(candidate)];
    result.moves.push_back({candidate, hole});
    holeFolder = db.Records[At(hole)].Folder;

    // Positions up to the new hole drop out; their folders' next records
    // take their place (and drop out in turn while still below the hole).
    for (int p = hole + 1; p <= candidate; ++p) {
      if (!firsts.Contains(p)) continue;
      firsts.Erase(p);
      if (nextSame[At(p)] >= 0) firsts.Insert(nextSame[At(p)]);
    }
    hole = candidate;
  }

  result.hole = hole;
  if (count - hole <= kShrinkDistance) {
    std::rotate(db.Records.begin() + hole, db.Records.begin() + hole + 1,
                db.Records.begin() + count);
    std::rotate(db.RecordMarks.begin() + hole, db.RecordMarks.begin() + hole + 1,
                db.RecordMarks.begin() + count);
    SetCount(db, kRecordsKind, static_cast<std::int16_t>(count - 1));
    result.shrunk = true;
  } else {
    NewRecord(db, hole);
    db.Records[At(hole)].Folder = BufferFolder;
  }
  RecountBuffers(db);
  return result;
}

bool HasSubfolders(const Database& db, int folder) {
  for (int k = 0; k < db.FolderCount; ++k) {
    if (db.Folders[At(k)].Parent == folder) return true;
  }
  return false;
}

std::vector<int> RecordsOf(const Database& db, int folder) {
  std::vector<int> records;
  for (int i = 0; i < db.RecordCount; ++i) {
    if (db.Records[At(i)].Folder == folder) records.push_back(i);
  }
  return records;
}

std::vector<int> SubfoldersOf(const Database& db, int folder) {
  std::vector<int> folders;
  for (int k = 0; k < db.FolderCount; ++k) {
    if (db.Folders[At(k)].Parent == folder) folders.push_back(k);
  }
  return folders;
}

void RemoveFolderInModel(Database& db, int folder) {
  const int count = db.FolderCount;
  if (folder < 0 || folder >= count) return;
  std::move(db.Folders.begin() + folder + 1, db.Folders.begin() + count,
            db.Folders.begin() + folder);
  for (int k = 0; k < count - 1; ++k) {
    std::int16_t& parent = db.Folders[At(k)].Parent;
    if (parent > folder) --parent;
  }
  for (int i = 0; i < db.RecordCount; ++i) {
    std::int16_t& f = db.Records[At(i)].Folder;
    if (f > folder) --f;
  }
  SetCount(db, kFoldersKind, static_cast<std::int16_t>(count - 1));
}

int SiblingBelow(const Database& db, int folder) {
  if (!IsFolderIndex(db, folder)) return -1;
  const int parent = db.Folders[At(folder)].Parent;
  for (int k = folder - 1; k >= 0; --k) {
    if (db.Folders[At(k)].Parent == parent) return k;
  }
  return -1;
}

int SiblingAbove(const Database& db, int folder) {
  if (!IsFolderIndex(db, folder)) return -1;
  const int parent = db.Folders[At(folder)].Parent;
  for (int k = folder + 1; k < db.FolderCount; ++k) {
    if (db.Folders[At(k)].Parent == parent) return k;
  }
  return -1;
}

void ExchangeFolders(Database& db, int a, int b) {
  if (a == b || !IsFolderIndex(db, a) || !IsFolderIndex(db, b)) return;
  std::swap(db.Folders[At(a)], db.Folders[At(b)]);
  const auto other = [a, b](std::int16_t& index) {
    if (index == a) {
      index = static_cast<std::int16_t>(b);
    } else if (index == b) {
      index = static_cast<std::int16_t>(a);
    }
  };
  for (int k = 0; k < db.FolderCount; ++k) other(db.Folders[At(k)].Parent);
  for (int i = 0; i < db.RecordCount; ++i) other(db.Records[At(i)].Folder);
}

bool IsInSubtree(const Database& db, int folder, int ancestor) {
  // Bounded by the folder count, so a damaged parent chain cannot loop.
  for (int steps = 0; steps <= db.FolderCount && IsFolderIndex(db, folder); ++steps) {
    if (folder == ancestor) return true;
    folder = db.Folders[At(folder)].Parent;
  }
  return false;
}

FolderContents CountFolderContents(const Database& db) {
  const std::size_t folders = At(std::max<int>(db.FolderCount, 0));
  FolderContents contents{std::vector<int>(folders, 0), std::vector<int>(folders, 0)};
  for (int i = 0; i < db.RecordCount; ++i) {
    const int f = db.Records[At(i)].Folder;
    if (IsFolderIndex(db, f)) ++contents.records[At(f)];
  }
  for (int k = 0; k < db.FolderCount; ++k) {
    const int parent = db.Folders[At(k)].Parent;
    if (IsFolderIndex(db, parent)) ++contents.subfolders[At(parent)];
  }
  return contents;
}

}  // namespace orbo

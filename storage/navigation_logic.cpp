#include "storage/navigation_logic.h"

#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <set>
#include <unordered_map>
#include <utility>

#include "storage/model_defaults.h"
#include "storage/record_deleter.h"

namespace orbo {
namespace {

std::size_t At(int i) { return static_cast<std::size_t>(i); }

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

std::vector<int> ChooseRecordSlots(const Database& db, const std::vector<int>& folders) {
  // A new record becomes its folder's last, so the folder's next one takes
  // a free slot behind it; found in one pass, since a walk over the whole
  // table per record would make a large import slow.
  std::set<int> free;
  std::unordered_map<int, int> last;
  for (int i = 0; i < db.RecordCount; ++i) {
    const int folder = db.Records[At(i)].Folder;
    if (folder == BufferFolder) {
      free.insert(i);
    } else {
      last[folder] = i;
    }
  }
  int grown = db.RecordCount;
  std::vector<int> places;
  places.reserve(folders.size());
  for (int folder : folders) {
    const auto known = last.find(folder);
    const auto slot = free.upper_bound(known == last.end() ? -1 : known->second);
    int place = grown;
    if (slot != free.end()) {
      place = *slot;
      free.erase(slot);
    } else {
      ++grown;
    }
    last[folder] = place;
    places.push_back(place);
  }
  return places;
}

RecordDeletion DeleteRecordInModel(Database& db, int r) { return RecordDeleter(db).Delete(r); }

std::vector<RecordDeletion> DeleteRecordsInModel(
    Database& db, std::vector<int> records,
    const std::function<void(const RecordData&)>& beforeEach) {
  // Moves only go from above a deletion's record to above it, so the
  // records still waiting below keep their indices.
  std::sort(records.begin(), records.end(), std::greater<>());
  RecordDeleter deleter(db);
  std::vector<RecordDeletion> deletions;
  deletions.reserve(records.size());
  for (int r : records) {
    if (beforeEach) beforeEach(db.Records[At(r)]);
    deletions.push_back(deleter.Delete(r));
  }
  return deletions;
}

int IndexAfterDeletions(const std::vector<RecordDeletion>& deletions, int record) {
  for (const RecordDeletion& deletion : deletions) {
    const int deleted = deletion.moves.empty() ? deletion.hole : deletion.moves.front().to;
    if (record == deleted) return -1;
    for (const RecordMove& move : deletion.moves)
      if (record == move.from) record = move.to;
    if (deletion.shrunk && record > deletion.hole) --record;
  }
  return record;
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

std::vector<std::vector<int>> SubfoldersByParent(const Database& db) {
  std::vector<std::vector<int>> children(At(db.FolderCount) + 1);
  for (int f = 0; f < db.FolderCount; ++f) {
    const int parent = db.Folders[At(f)].Parent;
    if (parent == TopLevelParent || (parent >= 0 && parent < db.FolderCount && parent != f))
      children[At(parent + 1)].push_back(f);
  }
  return children;
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

ChangeScope ScopeOfFolderExchange(const Database& db, int a, int b) {
  std::vector<int> records = RecordsOf(db, a);
  for (int r : RecordsOf(db, b)) records.push_back(r);
  std::vector<int> folders{a, b};
  for (int f : SubfoldersOf(db, a)) folders.push_back(f);
  for (int f : SubfoldersOf(db, b)) folders.push_back(f);
  return {IndexScope::Of(std::move(records)), IndexScope::Of(std::move(folders)), {}};
}

QString FolderPath(const Database& db, int folder) {
  QStringList names;
  for (int steps = 0; steps <= db.FolderCount && IsFolderIndex(db, folder); ++steps) {
    names.prepend(db.Folders[At(folder)].Name);
    folder = db.Folders[At(folder)].Parent;
  }
  return names.join(u'\\');
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

#include "shell/folder_tree_model.h"

#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <unordered_map>

#include "shell/node_data.h"
#include "shell/node_keys.h"
#include "shell/sorted_rows.h"
#include "storage/database_model.h"
#include "storage/navigation_logic.h"

namespace orbo {
namespace {

int PositionIn(const std::vector<int>& sorted, int value) {
  return static_cast<int>(std::lower_bound(sorted.begin(), sorted.end(), value) - sorted.begin());
}

template <typename T>
bool Within(const std::vector<T>& table, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < table.size();
}

}  // namespace

FolderTreeModel::FolderTreeModel(const Database& db, IconFor iconFor)
    : db_(db), iconFor_(std::move(iconFor)) {}

std::vector<FolderTreeModel::Children> FolderTreeModel::Wanted() const {
  std::vector<Children> wanted(static_cast<std::size_t>(std::max<int>(db_.FolderCount, 0)) + 1);
  for (int f = 0; f < db_.FolderCount; ++f) {
    const int parent = db_.Folders[f].Parent;
    if (parent == TopLevelParent) {
      wanted[0].folders.push_back(f);
    } else if (IsFolderIndex(db_, parent) && parent != f) {
      wanted[static_cast<std::size_t>(parent) + 1].folders.push_back(f);
    }
  }
  for (int r = 0; r < db_.RecordCount; ++r) {
    const int folder = db_.Records[r].Folder;
    if (IsFolderIndex(db_, folder))
      wanted[static_cast<std::size_t>(folder) + 1].records.push_back(r);
  }
  return wanted;
}

void FolderTreeModel::Clear() {
  if (!listing_ && listed_.empty()) return;
  beginResetModel();
  listing_ = false;
  listed_.clear();
  folderSlot_.clear();
  recordSlot_.clear();
  endResetModel();
}

void FolderTreeModel::Refresh() {
  if (listing_) {
    Follow({}, {}, false);
    return;
  }
  beginResetModel();
  listing_ = true;
  std::vector<Children> wanted = Wanted();
  listed_.assign(wanted.size(), {});
  folderSlot_.assign(static_cast<std::size_t>(std::max<int>(db_.FolderCount, 0)), -1);
  recordSlot_.assign(static_cast<std::size_t>(std::max<int>(db_.RecordCount, 0)), -1);
  listed_[0] = std::move(wanted[0]);
  for (int f : listed_[0].folders) {
    folderSlot_[static_cast<std::size_t>(f)] = 0;
    Adopt(f, wanted);
  }
  endResetModel();
}

void FolderTreeModel::Follow(const std::vector<int>& records, const std::vector<int>& folders,
                             bool complete) {
  if (!listing_) return;
  std::vector<Children> wanted = Wanted();
  // Entries above the counts are in no wanted list, so they go.
  const std::size_t folderTable = std::max(folderSlot_.size(), wanted.size() - 1);
  const std::size_t recordTable =
      std::max(recordSlot_.size(), static_cast<std::size_t>(std::max<int>(db_.RecordCount, 0)));
  folderSlot_.resize(folderTable, -1);
  recordSlot_.resize(recordTable, -1);
  listed_.resize(folderTable + 1);
  RemoveUnwanted(wanted);
  InsertWanted(wanted);
  listed_.resize(wanted.size());
  folderSlot_.resize(wanted.size() - 1);
  recordSlot_.resize(static_cast<std::size_t>(std::max<int>(db_.RecordCount, 0)));
  SignalChanged(records, folders, complete);
}

void FolderTreeModel::RemoveUnwanted(const std::vector<Children>& wanted) {
  static const Children kNone;
  std::vector<int> pending{0};
  while (!pending.empty()) {
    const int slot = pending.back();
    pending.pop_back();
    Children& now = listed_[static_cast<std::size_t>(slot)];
    const Children& want = Within(wanted, slot) ? wanted[static_cast<std::size_t>(slot)] : kNone;
    const QModelIndex parent = SlotIndex(slot);
    const int recordsFrom = static_cast<int>(now.folders.size());
    RemoveRowsNotIn(
        now.records, want.records, recordsFrom,
        [&](int first, int last) {
          beginRemoveRows(parent, first, last);
          for (int row = first; row <= last; ++row)
            recordSlot_[static_cast<std::size_t>(
                now.records[static_cast<std::size_t>(row - recordsFrom)])] = -1;
        },
        [this](int, int) { endRemoveRows(); });
    RemoveRowsNotIn(
        now.folders, want.folders, 0,
        [&](int first, int last) {
          beginRemoveRows(parent, first, last);
          for (int row = first; row <= last; ++row)
            Forget(now.folders[static_cast<std::size_t>(row)]);
        },
        [this](int, int) { endRemoveRows(); });
    for (int f : now.folders) pending.push_back(f + 1);
  }
}

void FolderTreeModel::InsertWanted(std::vector<Children>& wanted) {
  std::vector<int> pending{0};
  while (!pending.empty()) {
    const int slot = pending.back();
    pending.pop_back();
    Children& now = listed_[static_cast<std::size_t>(slot)];
    const Children& want = wanted[static_cast<std::size_t>(slot)];
    const QModelIndex parent = SlotIndex(slot);
    const auto begin = [this, &parent](int first, int last) {
      beginInsertRows(parent, first, last);
    };
    // Folders adopted here come with what is wanted below them.
    const std::vector<int> stayed = now.folders;
    InsertRowsOf(now.folders, want.folders, 0, begin, [&](int first, int last) {
      for (int row = first; row <= last; ++row) {
        const int f = now.folders[static_cast<std::size_t>(row)];
        folderSlot_[static_cast<std::size_t>(f)] = slot;
        Adopt(f, wanted);
      }
      endInsertRows();
    });
    const int recordsFrom = static_cast<int>(now.folders.size());
    InsertRowsOf(now.records, want.records, recordsFrom, begin, [&](int first, int last) {
      for (int row = first; row <= last; ++row)
        recordSlot_[static_cast<std::size_t>(
            now.records[static_cast<std::size_t>(row - recordsFrom)])] = slot;
      endInsertRows();
    });
    for (int f : stayed) pending.push_back(f + 1);
  }
}

void FolderTreeModel::Forget(int folder) {
  std::vector<int> pending{folder};
  while (!pending.empty()) {
    const int f = pending.back();
    pending.pop_back();
    folderSlot_[static_cast<std::size_t>(f)] = -1;
    Children& listed = listed_[static_cast<std::size_t>(f) + 1];
    for (int r : listed.records) recordSlot_[static_cast<std::size_t>(r)] = -1;
    pending.insert(pending.end(), listed.folders.begin(), listed.folders.end());
    listed = {};
  }
}

void FolderTreeModel::Adopt(int folder, std::vector<Children>& wanted) {
  std::vector<int> pending{folder};
  while (!pending.empty()) {
    const int f = pending.back();
    pending.pop_back();
    const std::size_t slot = static_cast<std::size_t>(f) + 1;
    Children& listed = listed_[slot];
    listed = std::move(wanted[slot]);
    for (int r : listed.records) recordSlot_[static_cast<std::size_t>(r)] = static_cast<int>(slot);
    for (int sub : listed.folders) {
      folderSlot_[static_cast<std::size_t>(sub)] = static_cast<int>(slot);
      pending.push_back(sub);
    }
  }
}

void FolderTreeModel::SignalChanged(const std::vector<int>& records,
                                    const std::vector<int>& folders, bool complete) {
  if (!complete) {
    // Every row may read differently: the views ask again for what they show.
    emit layoutAboutToBeChanged();
    emit layoutChanged();
    return;
  }
  // One signal per parent, over the rows changed under it.
  std::unordered_map<int, RowRun> changed;
  const auto note = [&changed](int slot, int row) {
    const auto [at, added] = changed.try_emplace(slot, RowRun{row, row});
    if (!added) {
      at->second.first = std::min(at->second.first, row);
      at->second.last = std::max(at->second.last, row);
    }
  };
  for (int r : records)
    if (Within(recordSlot_, r) && recordSlot_[static_cast<std::size_t>(r)] >= 0)
      note(recordSlot_[static_cast<std::size_t>(r)], RecordRow(r));
  for (int f : folders)
    if (Within(folderSlot_, f) && folderSlot_[static_cast<std::size_t>(f)] >= 0)
      note(folderSlot_[static_cast<std::size_t>(f)], FolderRow(f));
  for (const auto& [slot, rows] : changed) {
    const QModelIndex parent = SlotIndex(slot);
    emit dataChanged(index(rows.first, 0, parent), index(rows.last, 0, parent));
  }
}

void FolderTreeModel::HighlightFolders(std::vector<char> folders) {
  if (folders.empty() && highlighted_.empty()) return;
  std::swap(highlighted_, folders);
  const auto on = [](const std::vector<char>& marks, std::size_t f) {
    return f < marks.size() && marks[f];
  };
  for (std::size_t f = 0; f < folderSlot_.size(); ++f) {
    if (on(highlighted_, f) == on(folders, f)) continue;
    const QModelIndex at = FolderIndex(static_cast<int>(f));
    if (at.isValid()) emit dataChanged(at, at, {Qt::FontRole, Qt::ForegroundRole});
  }
}

QModelIndex FolderTreeModel::SlotIndex(int slot) const {
  return slot <= 0 ? QModelIndex() : FolderIndex(slot - 1);
}

int FolderTreeModel::FolderRow(int folder) const {
  const int slot = folderSlot_[static_cast<std::size_t>(folder)];
  return PositionIn(listed_[static_cast<std::size_t>(slot)].folders, folder);
}

int FolderTreeModel::RecordRow(int record) const {
  const Children& listed =
      listed_[static_cast<std::size_t>(recordSlot_[static_cast<std::size_t>(record)])];
  return static_cast<int>(listed.folders.size()) + PositionIn(listed.records, record);
}

QModelIndex FolderTreeModel::FolderIndex(int folder) const {
  if (!Within(folderSlot_, folder) || folderSlot_[static_cast<std::size_t>(folder)] < 0) return {};
  return createIndex(FolderRow(folder), 0, static_cast<quintptr>(folder) << 1 | kFolderNode);
}

QModelIndex FolderTreeModel::RecordIndex(int record) const {
  if (!Within(recordSlot_, record) || recordSlot_[static_cast<std::size_t>(record)] < 0) return {};
  return createIndex(RecordRow(record), 0, static_cast<quintptr>(record) << 1 | kRecordNode);
}

QModelIndex FolderTreeModel::IndexOfKey(const QString& key) const {
  const NodeKey parsed = ParseKey(key);
  if (parsed.kind == u"root") return FolderIndex(parsed.index);
  if (parsed.kind == u"item") return RecordIndex(parsed.index);
  return {};
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  int slot = 0;
  if (parent.isValid()) {
    if ((parent.internalId() & 1) != kFolderNode) return {};
    slot = static_cast<int>(parent.internalId() >> 1) + 1;
  }
  if (!Within(listed_, slot)) return {};
  const Children& listed = listed_[static_cast<std::size_t>(slot)];
  if (row < static_cast<int>(listed.folders.size())) {
    return createIndex(
        row, 0,
        static_cast<quintptr>(listed.folders[static_cast<std::size_t>(row)]) << 1 | kFolderNode);
  }
  const std::size_t at = static_cast<std::size_t>(row) - listed.folders.size();
  if (at >= listed.records.size()) return {};
  return createIndex(row, 0, static_cast<quintptr>(listed.records[at]) << 1 | kRecordNode);
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const {
  if (!child.isValid()) return {};
  const int node = static_cast<int>(child.internalId() >> 1);
  const bool record = (child.internalId() & 1) == kRecordNode;
  const std::vector<int>& slotOf = record ? recordSlot_ : folderSlot_;
  return Within(slotOf, node) ? SlotIndex(slotOf[static_cast<std::size_t>(node)]) : QModelIndex();
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return listed_.empty() ? 0 : listed_[0].size();
  if (parent.column() != 0 || (parent.internalId() & 1) != kFolderNode) return 0;
  const int slot = static_cast<int>(parent.internalId() >> 1) + 1;
  return Within(listed_, slot) ? listed_[static_cast<std::size_t>(slot)].size() : 0;
}

int FolderTreeModel::columnCount(const QModelIndex&) const { return 1; }

Qt::ItemFlags FolderTreeModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

Qt::DropActions FolderTreeModel::supportedDropActions() const { return Qt::MoveAction; }

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int node = static_cast<int>(index.internalId() >> 1);
  return (index.internalId() & 1) == kRecordNode ? RecordNodeData(db_, iconFor_, node, role)
                                                 : FolderData(node, role);
}

QVariant FolderTreeModel::FolderData(int folder, int role) const {
  // A row the view holds while a change is being followed may name an
  // entry that is gone: it reads as nothing.
  if (!IsFolderIndex(db_, folder)) return {};
  const bool highlighted =
      Within(highlighted_, folder) && highlighted_[static_cast<std::size_t>(folder)];
  switch (role) {
    case Qt::DisplayRole:
      return ShortenName(db_.Folders[folder].Name, db_.MaxListString);
    case Qt::DecorationRole:
      return iconFor_(db_.Folders[folder].Icon);
    case Qt::FontRole:
      return highlighted ? QVariant(BoldFont()) : QVariant();
    case Qt::ForegroundRole:
      return highlighted ? QVariant(QGuiApplication::palette().brush(QPalette::Link)) : QVariant();
    case kKeyRole:
      return FolderKey(folder);
    default:
      return {};
  }
}

}  // namespace orbo
